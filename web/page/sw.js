// The service worker of the installed page: the site's files from the network when there is one
// (so a new version is seen at once), kept in a cache that answers when there is none, so that a
// reload offline still draws the city. The address's parameters do not make another file.
var cacheName = "zorvik-1";
var files = ["./", "index.html", "hosts.js", "zorvik.js", "zorvik.wasm", "manifest.webmanifest",
             "zorvik-192.png", "zorvik-512.png"];

self.addEventListener("install", function (event) {
  event.waitUntil(caches.open(cacheName).then(function (cache) {
    return cache.addAll(files);
  }).then(function () {
    return self.skipWaiting();
  }));
});

self.addEventListener("activate", function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) {
      return name !== cacheName;
    }).map(function (name) {
      return caches.delete(name);
    }));
  }).then(function () {
    return self.clients.claim();
  }));
});

self.addEventListener("fetch", function (event) {
  if (event.request.method !== "GET" || new URL(event.request.url).origin !== location.origin) {
    return;
  }
  event.respondWith(fetch(event.request).then(function (response) {
    if (response.ok) {
      var copy = response.clone();
      caches.open(cacheName).then(function (cache) {
        cache.put(event.request, copy);
      });
    }
    return response;
  }).catch(function () {
    return caches.match(event.request, { ignoreSearch: true }).then(function (cached) {
      return cached || Response.error();
    });
  }));
});
