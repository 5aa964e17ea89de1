// The browser build in headless Chromium (WebGL through SwiftShader), the site served from
// 127.0.0.1. Usage: node web_test.mjs CASE SITE NODE_PREFIX [ZORVIK_CAPTURE]
//   frames     three frames against zorvik-capture's, and the same with a part left out
//   page       a clean console through resizes, a lost and restored context and full screen
//   file       the page opened from a file (SITE: the unpacked package)
//   nowebgl    a browser without WebGL gets a message in plain words
//   benchmark  frames and steps per second at 1280 x 720, and the first frame's time; the opening
//              frames at one step per frame beside zorvik-capture --bench; busy time and CPU
//   hosts      the wallpaper programs' files and hooks (SITE: the unpacked package)
//   app        the installable page: its manifest, offline reload and awake=1
import { createRequire } from 'module';
import { execFileSync } from 'child_process';
import fs from 'fs';
import http from 'http';
import os from 'os';
import path from 'path';

const [testCase, site, nodePrefix, capture] = process.argv.slice(2);
const { chromium } = createRequire(path.join(nodePrefix, '/'))('playwright-core');
const refs = fs.mkdtempSync(path.join(os.tmpdir(), 'zorvik-web-'));
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.png': 'image/png', '.json': 'application/json',
                '.webmanifest': 'application/manifest+json' };
const server = http.createServer((request, response) => {
    const name = new URL(request.url, 'http://host').pathname.replace(/\/$/, '/index.html');
    const file = name.startsWith('/ref/') ? path.join(refs, path.basename(name))
                                          : path.join(site, path.normalize(name));
    fs.readFile(file, (error, data) => {
        response.writeHead(error ? 404 : 200,
                           { 'Content-Type': types[path.extname(file)] || 'text/plain' });
        response.end(error ? undefined : data);
    });
});
await new Promise((ready) => server.listen(0, '127.0.0.1', ready));
const base = `http://127.0.0.1:${server.address().port}/index.html`;
const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); console.log(`${ok ? 'ok' : 'FAIL'}: ${what}`); };
// Generous: SwiftShader on a busy machine takes seconds per frame.
const patience = { timeout: 240000, polling: 250 };

async function launch(extraArgs = []) {
    return chromium.launch(launch.options(extraArgs));
}
launch.options = (extraArgs = []) => ({ executablePath: '/usr/bin/chromium', headless: true,
    args: ['--headless=new', '--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader', ...extraArgs] });

// A page whose console's errors and warnings are collected.
async function open(browser, url, width, height, hook) {
    const page = await browser.newPage({ viewport: { width, height } });
    page.complaints = [];
    page.on('console', (m) => {
        if (m.type() === 'error' || m.type() === 'warning') page.complaints.push(m.text());
    });
    page.on('pageerror', (e) => page.complaints.push(e.message));
    // As a wallpaper program does: as soon as the page has loaded, the module still loading.
    // frameStart: when the last animation frame began, as the program's clock reads it.
    if (hook) await page.addInitScript(`const raf = requestAnimationFrame;
        requestAnimationFrame = (f) => raf((t) => { window.frameStart = performance.now(); f(t); });
        document.addEventListener('DOMContentLoaded', () => {
            window.hookedBeforeStart = !zorvikPage.running; (${hook})(); });`);
    await page.goto(url);
    return page;
}

const canvasSize = () => {
    const canvas = document.querySelector('canvas');
    return [canvas.width, canvas.height];
};
const framesAfter = (page, n) =>
    page.waitForFunction((n) => zorvikPage.stats.frames > n, n, patience);

// Shares of pixels whose channels all lie within 2, 8 and 32 levels of the native frame's, the
// mean difference per channel, and the share of 8x8 blocks whose mean, in some channel, is more
// than 8 levels off (differences beyond edges). A `hook` (a host's settings) gives the seed.
async function compare(browser, seed, step, fault, { url = base, hook } = {}) {
    const [w, h] = [640, 360];
    const ref = `ref-${seed}-${step}.png`;
    if (!fs.existsSync(path.join(refs, ref))) {
        execFileSync(capture, ['--seed', `${seed}`, '--frames', `${step}`, '--size', `${w}x${h}`,
                               '--out', path.join(refs, ref)]);
    }
    const query = `${hook ? '' : `seed=${seed}&`}stop=${step}&size=${w}x${h}`;
    const page = await open(browser, `${url}?${query}` + (fault ? `&fault=${fault}` : ''), w, h,
                            hook);
    await page.waitForFunction((t) => document.title === t, `stopped ${step}`, patience);
    // A page from a file may not read the server's images: the reference comes as data.
    const src = `data:image/png;base64,${fs.readFileSync(path.join(refs, ref)).toString('base64')}`;
    const result = await page.evaluate(async (src) => {
        const image = new Image();
        image.src = src;
        await image.decode();
        const canvas = document.createElement('canvas');
        [canvas.width, canvas.height] = [image.width, image.height];
        const context = canvas.getContext('2d');
        context.drawImage(image, 0, 0);
        const native = context.getImageData(0, 0, image.width, image.height).data;
        const web = zorvikPage.stats.picture.rgba;
        const within = [0, 0, 0];
        let sum = 0;
        for (let i = 0; i < native.length; i += 4) {
            let most = 0;
            for (let k = 0; k < 3; ++k) {
                const d = Math.abs(web[i + k] - native[i + k]);
                sum += d;
                most = Math.max(most, d);
            }
            [2, 8, 32].forEach((limit, j) => { within[j] += most <= limit ? 1 : 0; });
        }
        const pixels = native.length / 4;
        const [bw, bh] = [image.width >> 3, image.height >> 3];
        const blocks = new Float64Array(bw * bh * 3);
        for (let i = 0; i < native.length; i += 4) {
            const b = (Math.floor(i / 4 / image.width / 8) * bw + ((i / 4) % image.width >> 3)) * 3;
            for (let k = 0; k < 3; ++k) blocks[b + k] += (web[i + k] - native[i + k]) / 64;
        }
        const blocksApart = new Set([...blocks.keys()].filter((j) => Math.abs(blocks[j]) > 8).map((j) => Math.floor(j / 3))).size;
        return { w2: within[0] / pixels, w8: within[1] / pixels, w32: within[2] / pixels,
                 mean: sum / (3 * pixels), blocks: blocksApart / (bw * bh) };
    }, src);
    await page.close();
    return result;
}

// Measured spreads (SwiftShader against llvmpipe): the bounds sit just outside them.
const frames = [
    { seed: 1765432138, step: 600, w8: 0.988, mean: 0.85, blocks: 0.008 }, // from above, two lights
    { seed: 7, step: 420, w8: 0.994, mean: 0.5, blocks: 0.003 },           // traffic close by
    { seed: 1000, step: 180, w8: 0.986, mean: 1.25, blocks: 0.022 },       // the icon's frame
];

// Whether the page's frame f is the native one within its bounds, said on the log.
async function matches(browser, f, what, fault, how) {
    const r = await compare(browser, f.seed, f.step, fault, how);
    const ok = r.w8 >= f.w8 && r.mean <= f.mean && r.blocks <= f.blocks;
    const pc = (x) => `${(100 * x).toFixed(2)}%`;
    console.log(`${what} seed ${f.seed} step ${f.step}: within 2 ${pc(r.w2)}, 8 ${pc(r.w8)}, 32 ${pc(r.w32)}, ` +
                `mean ${r.mean.toFixed(3)}, 8x8 blocks apart ${pc(r.blocks)}${ok ? '' : ' (beyond the bound)'}`);
    return ok;
}

async function framesCase() {
    const browser = await launch();
    const passes = async (fault) => {
        let all = true;
        for (const f of frames) {
            all = (await matches(browser, f, fault || 'whole', fault)) && all;
        }
        return all;
    };
    check(await passes(''), 'the browser draws the native frames');
    for (const fault of ['light1', 'glow', 'traffic']) {
        check(!(await passes(fault)), `a frame without ${fault} is told apart`);
    }
    await browser.close();
}

// How many pixels of a screenshot are not black.
async function litPixels(page) {
    const png = (await page.screenshot()).toString('base64');
    return page.evaluate(async (src) => {
        const image = new Image();
        image.src = src;
        await image.decode();
        const canvas = document.createElement('canvas');
        [canvas.width, canvas.height] = [image.width, image.height];
        const context = canvas.getContext('2d');
        context.drawImage(image, 0, 0);
        const data = context.getImageData(0, 0, image.width, image.height).data;
        let lit = 0;
        for (let i = 0; i < data.length; i += 4) lit += data[i] + data[i + 1] + data[i + 2] > 0;
        return lit;
    }, `data:image/png;base64,${png}`);
}

async function pageCase() {
    const browser = await launch();
    const page = await open(browser, `${base}?seed=7`, 480, 270);
    await framesAfter(page, 2);
    check(JSON.stringify(await page.evaluate(canvasSize)) === '[480,270]', 'the canvas fills the window');

    await page.setViewportSize({ width: 400, height: 300 });
    await page.waitForFunction(`(${canvasSize})().join('x') === '400x300'`, null, patience);
    let frames = await page.evaluate(() => zorvikPage.stats.frames);
    await framesAfter(page, frames + 1);
    check(true, 'the canvas follows a resize');

    await page.evaluate(() => {
        const gl = document.querySelector('canvas').getContext('webgl');
        window.loseContext = gl.getExtension('WEBGL_lose_context');
        window.loseContext.loseContext();
    });
    await page.waitForFunction(() => document.querySelector('canvas').getContext('webgl')
        .isContextLost(), null, patience);
    frames = await page.evaluate(() => zorvikPage.stats.frames);
    await page.evaluate(() => window.loseContext.restoreContext());
    await framesAfter(page, frames + 2);
    check((await litPixels(page)) > 1000, 'the city is drawn again after the context is restored');

    await page.keyboard.press('F1');
    await page.waitForFunction(() => document.fullscreenElement !== null, null, patience);
    check(true, 'F1 enters full screen');
    await page.keyboard.press('F1');
    await page.waitForFunction(() => document.fullscreenElement === null, null, patience);
    await page.dblclick('canvas');
    await page.waitForFunction(() => document.fullscreenElement !== null, null, patience);
    check(true, 'F1 leaves full screen, a double click enters it');
    frames = await page.evaluate(() => zorvikPage.stats.frames);
    await framesAfter(page, frames + 1);
    check(page.complaints.length === 0, `a clean console (${page.complaints.join(' | ')})`);
    await browser.close();
}

async function fileCase() {
    const browser = await launch();
    const page = await open(browser, `file://${path.resolve(site)}/index.html?seed=7`, 320, 180);
    await framesAfter(page, 1);
    check(page.complaints.length === 0, `opened from a file (${page.complaints.join(' | ')})`);
    await browser.close();
}

async function noWebGlCase() {
    const browser = await launch(['--disable-webgl']);
    const page = await open(browser, base, 320, 180);
    await page.waitForFunction(() => !document.getElementById('message').hidden, null, patience);
    const text = await page.evaluate(() => document.getElementById('message').textContent);
    check(/needs WebGL/.test(text), `without WebGL the page says so: "${text}"`);
    await browser.close();
}

// A long query is read whole, sizes beyond the context and the desktop's are refused in words,
// a large stop steps in slices with its progress in the title (which a frozen page never shows).
async function addressCase() {
    const browser = await launch();
    const padding = '&'.repeat(3000);
    for (const [query, says] of [[`${padding}zoom=2`, /no parameter 'zoom'/], ['size=16384x16384', /larger than/],
                                 ['size=desktop', /size=desktop .*window's own size/]]) {
        const page = await open(browser, `${base}?${query}`, 320, 180);
        await page.waitForFunction(() => !document.getElementById('message').hidden, null, patience);
        const text = await page.evaluate(() => document.getElementById('message').textContent);
        check(says.test(text), `${query.slice(-20)}: "${text}"`);
        await page.close();
    }
    for (const [query, ...titles] of [[`${padding}stop=2`, 'stopped 2'],
                                      ['stop=400000', 'stopping at 400000: ', 'stopped 400000']]) {
        const page = await open(browser, `${base}?${query}&size=64x36`, 320, 180);
        for (const title of titles) {
            await page.waitForFunction((t) => document.title.startsWith(t), title, patience);
            check(true, `${query.slice(-20)}: "${await page.title()}"`);
        }
        await page.close();
    }
    await browser.close();
}

async function benchmarkCase() {
    const browser = await launch();
    for (const [width, height] of [[1280, 720], [640, 360]]) {
        const page = await open(browser, `${base}?seed=1765432138&stats=1`, width, height);
        const lines = [];
        page.on('console', (m) => { if (/frames\/s/.test(m.text())) lines.push(m.text()); });
        await page.waitForFunction(() => zorvikPage.stats.frames > 0, null, patience);
        const first = await page.evaluate(() => zorvikPage.stats.firstFrameMs);
        // The program's own rate lines, one every three seconds once frames come.
        const deadline = Date.now() + 180000;
        while (lines.length < 3 && Date.now() < deadline) await page.waitForTimeout(1000);
        console.log(`benchmark: web ${width}x${height} first frame ${first.toFixed(0)} ms after ` +
                    `the page began loading; ${lines[lines.length - 1] || 'no rate line'}`);
        check(lines.length > 0, `the program reports its rates at ${width}x${height}`);
        await page.close();
    }
    await openingFrames(browser);
    await browser.close();
    await busyTime();
}

// Processor seconds of this process's descendants (the browser's processes).
function browserCpu(pid = String(process.pid)) {
    const stat = (p) => { try { return fs.readFileSync(`/proc/${p}/stat`, 'utf8').split(') ')[1].split(' '); } catch { return null; } };
    return fs.readdirSync('/proc').filter((p) => stat(p)?.[1] === pid).reduce((sum, p) =>
        sum + (Number(stat(p)?.[11]) + Number(stat(p)?.[12]) || 0) / 100 + browserCpu(p), 0);
}

// At 1280x720, uncapped and at maxfps=30, over 10 s: frames per second, the main thread's busy
// time per frame (the DevTools protocol's TaskDuration) and the browser's processor use; then
// zorvik-capture --bench at the same size.
async function busyTime() {
    for (const query of ['', '&maxfps=30']) {
        const browser = await launch();
        const page = await open(browser, `${base}?seed=1765432138${query}`, 1280, 720);
        await framesAfter(page, 5);
        const cdp = await page.context().newCDPSession(page);
        await cdp.send('Performance.enable');
        const task = async () => (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
        const [task0, cpu0] = [await task(), browserCpu()];
        const r = await rates(page, 10000);
        console.log(`benchmark: web 1280x720${query || ' uncapped'}: ${r.fps.toFixed(1)} frames/s, main thread busy ` +
                    `${((await task() - task0) * 1000 / r.frames).toFixed(2)} ms/frame, browser CPU ${(10 * (browserCpu() - cpu0)).toFixed(0)}%`);
        await browser.close();
    }
    const bench = execFileSync(capture, ['--seed', '1765432138', '--frames', '600', '--size', '1280x720', '--bench']);
    console.log(`benchmark: zorvik-capture 1280x720 600 frames: ${String(bench).trim().replace(/\n/g, '; ')}`);
}

// The first frames of seed 7, where the camera starts among large boxes and beams: the page at one
// step per frame (its frames 2 to 31, timed from the first one shown) beside zorvik-capture
// --bench over frames 1 to 30 at the same size, run one after the other.
async function openingFrames(browser) {
    const [w, h, seed, count] = [640, 360, 7, 30];
    const bench = execFileSync(capture, ['--seed', `${seed}`, '--frames', `${count}`, '--size',
                                         `${w}x${h}`, '--bench']).toString();
    const figure = (name) => Number((bench.match(new RegExp(`^${name}: ([0-9.]+)`, 'm')) || [])[1]);
    const page = await open(browser, `${base}?seed=${seed}&pace=0&size=${w}x${h}`, w, h);
    await page.waitForFunction((n) => zorvikPage.stats.frameMs.length > n, count,
                               { timeout: 1200000, polling: 250 });
    const shown = await page.evaluate(() => zorvikPage.stats.frameMs);
    await page.close();
    const gaps = shown.slice(1, count + 1).map((t, i) => t - shown[i]).sort((a, b) => a - b);
    const mean = (shown[count] - shown[0]) / count;
    console.log(`benchmark: web ${w}x${h} seed ${seed} pace=0 frames 2-${count + 1}: ` +
                `${mean.toFixed(1)} ms/frame (median ${gaps[count >> 1].toFixed(1)} ms); ` +
                `zorvik-capture --bench frames 1-${count}: ${(1000 / figure('fps')).toFixed(1)} ` +
                `ms/frame (median ${figure('frame_median').toFixed(1)} ms)`);
    check(shown.length > count, `the page drew ${count + 1} frames at one step per frame`);

    const paced = await open(browser, `${base}?seed=${seed}&size=${w}x${h}`, w, h);
    await paced.waitForFunction(() => zorvikPage.stats.frames > 0, null, patience);
    const first = await paced.evaluate(() => zorvikPage.stats.firstFrameMs);
    console.log(`benchmark: web ${w}x${h} seed ${seed} first frame ${first.toFixed(0)} ms after ` +
                `the page began loading`);
    await paced.close();
}

// Frames shown and steps taken over `ms` milliseconds of the page.
async function rates(page, ms) {
    const now = () => page.evaluate(() => ({ ...zorvikPage.stats, at: performance.now() }));
    const before = await now();
    await page.waitForTimeout(ms);
    const after = await now();
    return { fps: (after.frames - before.frames) * 1000 / (after.at - before.at),
             frames: after.frames - before.frames, steps: after.steps - before.steps };
}

// Each wallpaper program's calls in its own forms (a slider's value a number, a check box's a
// boolean; Wallpaper Engine's {key: {value}}): settings, frame cap, pause.
const hostCalls = {
    lively: { settings: (seed) => `() => { livelyPropertyListener('seed', '${seed}');
                  livelyPropertyListener('pace', 60); livelyPropertyListener('fps', false); }`,
              cap: (fps) => livelyPropertyListener('maxfps', fps),
              pause: (paused) => livelyWallpaperPlaybackChanged(JSON.stringify({ IsPaused: paused })) },
    engine: { settings: (seed) => `() => wallpaperPropertyListener.applyUserProperties(
                  { seed: { value: '${seed}' }, pace: { value: 60 }, fps: { value: false } })`,
              cap: (fps) => wallpaperPropertyListener.applyGeneralProperties({ fps }),
              pause: (paused) => wallpaperPropertyListener.setPaused(paused) },
};

// The files each program reads; for Lively's controls, its schema's required keys and value type.
function checkHostFiles() {
    const read = (name) => JSON.parse(fs.readFileSync(path.join(site, name), 'utf8'));
    const [info, project] = [read('LivelyInfo.json'), read('project.json')];
    check(info.Type === 1 && info.FileName === 'index.html' && /--pause-event true/.test(info.Arguments) &&
          fs.existsSync(path.join(site, info.Thumbnail)), 'LivelyInfo.json: a web page with its pause event');
    const controls = { slider: [['text', 'max', 'min', 'step'], 'number'], textbox: [['text'], 'string'],
                       checkbox: [['text'], 'boolean'], dropdown: [['text', 'items'], 'number'] };
    for (const [key, p] of Object.entries(read('LivelyProperties.json'))) {
        const [required, type] = controls[p.type] || [['unknown type']];
        check(required.every((k) => k in p) && typeof p.value === type, `LivelyProperties.json: ${key}`);
    }
    check(project.type === 'web' && project.file === 'index.html' && fs.existsSync(path.join(site, project.preview)) &&
          ['seed', 'pace', 'fps'].every((k) => k in project.general.properties), 'project.json: a web project');
}

const hide = (hidden) => { Object.defineProperty(document, 'hidden', { value: hidden, configurable: true });
                           document.dispatchEvent(new Event('visibilitychange')); };

async function hostsCase() {
    checkHostFiles();
    const browser = await launch();
    for (const url of [`file://${path.resolve(site)}/index.html`, base]) {
        for (const [host, calls] of Object.entries(hostCalls)) {
            const [where, f] = [`${host} ${url.slice(0, 4)}`, frames[host === 'lively' ? 2 : 1]];
            check(await matches(browser, f, where, '', { url, hook: calls.settings(f.seed) }),
                  `${where}: the seed set before the start draws its frame`);
            const page = await open(browser, `${url}?size=320x180`, 320, 180, calls.settings(f.seed));
            await framesAfter(page, 2);
            // A cap of 30, or of half the machine's own rate where that is lower, so that it shows.
            const free = await rates(page, 4000);
            const cap = Math.min(30, Math.max(1, Math.floor(free.fps / 2)));
            await page.evaluate(calls.cap, cap);
            const capped = await rates(page, 6000);
            await page.evaluate(calls.cap, 0);
            // Uncapped again, every animation frame draws one: frameStart is the last frame's.
            await framesAfter(page, await page.evaluate(() => zorvikPage.stats.frames));
            console.log(`${where}: ${free.fps.toFixed(1)} frames/s, ${capped.fps.toFixed(1)} at a cap of ${cap}`);
            check(capped.fps <= cap + 0.5 && await page.evaluate(() => window.hookedBeforeStart),
                  `${where}: capped, set before the start`);
            // Paused by the host, or hidden (where the page hears only the event), no frame and no
            // step; then the steps of the time the city ran (from its last frame to the pause, and
            // from the resume) at 60 a second, not of the time away.
            for (const [why, pause] of [['paused', calls.pause], ['hidden', hide]]) {
                const stats = () => ({ ...zorvikPage.stats, at: performance.now(), start: window.frameStart });
                const before = await page.evaluate(`(${pause})(true); (${stats})()`);
                await page.waitForTimeout(2500);
                const during = await page.evaluate(`(${stats})()`);
                const resumed = await page.evaluate(`(${pause})(false); performance.now()`);
                await framesAfter(page, during.frames);
                const after = await page.evaluate(stats);
                const most = Math.ceil(0.06 * (before.at - before.start + after.start - resumed)) + 2;
                check(during.frames === before.frames && during.steps === before.steps &&
                      after.steps - before.steps <= most, `${where}: nothing while ${why}, then on where it was ` +
                      `(${after.steps - before.steps} steps, at most ${most})`);
            }
            check(page.complaints.length === 0, `${where}: a clean console (${page.complaints.join(' | ')})`);
            await page.close();
        }
    }
    await browser.close();
}

async function appCase() {
    // A profile of its own: an incognito context is never installable.
    const context = await chromium.launchPersistentContext(fs.mkdtempSync(path.join(refs, 'profile-')),
        { ...(await launch.options()), viewport: { width: 320, height: 180 } });
    const page = await context.newPage();
    await page.goto(`${base}?seed=7`);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, patience);
    const { installabilityErrors } = await (await context.newCDPSession(page)).send('Page.getInstallabilityErrors');
    check(installabilityErrors.length === 0, `installable (${JSON.stringify(installabilityErrors)})`);
    await context.setOffline(true);
    await page.reload();
    await page.waitForFunction(() => zorvikPage.stats.frames > 1, null, patience);
    check((await litPixels(page)) > 1000, 'reloaded offline, the city is drawn');
    // The lock is the browser's to give: where it refuses any page, the log says so.
    const awake = await context.newPage();
    await awake.goto(`${base}?seed=7&awake=1`);
    await framesAfter(awake, 1);
    const held = await awake.evaluate(() => Boolean(zorvikPage.wakeLock));
    const given = await awake.evaluate(() => navigator.wakeLock.request('screen').then((l) => l.release())
        .then(() => 'given', (e) => e.name));
    check(held || given !== 'given', `awake=1 holds the screen lock (${held}; the browser: ${given})`);
    await context.close();
}

const cases = { hosts: hostsCase, app: appCase, frames: framesCase, page: pageCase, file: fileCase, nowebgl: noWebGlCase,
                address: addressCase, benchmark: benchmarkCase };
try {
    await cases[testCase]();
} catch (error) {
    failures.push(String(error));
    console.log(`FAIL: ${error}`);
}
server.close();
fs.rmSync(refs, { recursive: true, force: true });
process.exit(failures.length ? 1 : 0);
