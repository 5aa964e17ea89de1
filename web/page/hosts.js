// The wallpaper programs' hooks, mapped onto the page's own parameters: seed (text; empty for the
// clock), pace (steps per second), fps (the rates on the screen) and maxfps (a frame cap; 0 none).
// Lively Wallpaper calls livelyPropertyListener(name, value) with the keys of LivelyProperties.json
// (a slider's value a number, a check box's a boolean, a text box's a string), and, started with
// --pause-event true (LivelyInfo.json), livelyWallpaperPlaybackChanged('{"IsPaused":true}').
// Wallpaper Engine, and the KDE Plasma plugin that runs its projects, call the listener's
// applyUserProperties with {key: {value}} for the properties of project.json (all at load, the
// changed ones later), applyGeneralProperties with its own frame rate limit, and setPaused.
// Values that come before the program runs are kept for its start (zorvikPage.setting).
(function () {
  function inHost() {
    // A wallpaper is no reason to keep the display on.
    zorvikPage.inHost = true;
    if (zorvikPage.wakeLock) {
      zorvikPage.wakeLock.release();
    }
  }
  var parameters = {
    seed: function (value) { return String(value).trim(); },
    pace: function (value) { return Math.min(240, Math.max(10, Math.round(Number(value) || 60))); },
    fps: function (value) { return value === true || value === "true" || value === 1 ? 1 : 0; },
    maxfps: function (value) { return Math.max(0, Math.round(Number(value) || 0)); }
  };
  function set(name, value) {
    inHost();
    if (parameters.hasOwnProperty(name)) {
      zorvikPage.setting(name, parameters[name](value));
    }
  }

  window.livelyPropertyListener = set;
  window.livelyWallpaperPlaybackChanged = function (data) {
    inHost();
    var state = typeof data === "string" ? JSON.parse(data) : data;
    zorvikPage.pause("host", Boolean(state && state.IsPaused));
  };

  window.wallpaperPropertyListener = {
    applyUserProperties: function (properties) {
      for (var name in properties) {
        if (properties[name] && "value" in properties[name]) {
          set(name, properties[name].value);
        }
      }
    },
    applyGeneralProperties: function (properties) {
      if (properties && "fps" in properties) {
        set("maxfps", properties.fps);
      }
    },
    setPaused: function (paused) {
      inHost();
      zorvikPage.pause("host", Boolean(paused));
    }
  };
})();
