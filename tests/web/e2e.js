// The web build end to end in headless Chromium: the page loads and shows
// the title, SPACE starts play with the HUD, the arrows move the fish, F1
// starts a move, SPACE pauses and resumes, TAB retires to the result, SPACE
// goes back to the title, ESC ends the game and the page says so; the
// browser's own use of the game's keys is prevented.
//   node e2e.js URL SOURCE_DIR
// The picture is read from the canvas and judged by content: the title's
// and the pause's overlays shown, the HUD's yellow and the result's white
// text counted; the game's state comes from its trace (?trace).
'use strict';
const path = require('path');
const {readBmp} = require('./pictures');
const {launch, canvasRgba, hold, report} = require('./browser');

const [url, source] = process.argv.slice(2);
const picture = name => readBmp(path.join(source, 'bmp', `${name}.bmp`));

// Whether a full-screen keyed picture shows: at most 5% of its opaque pixels
// (those not of its corner's colour) missing from the canvas.
function showsOverlay(rgba, overlay) {
  const key = overlay.pixels[0];
  let opaque = 0, misses = 0;
  for (let i = 0; i < overlay.pixels.length; ++i) {
    const p = overlay.pixels[i] * 3;
    if (overlay.pixels[i] === key) continue;
    ++opaque;
    if (rgba[4 * i] !== overlay.palette[p] || rgba[4 * i + 1] !== overlay.palette[p + 1] ||
        rgba[4 * i + 2] !== overlay.palette[p + 2]) ++misses;
  }
  return opaque > 0 && misses * 20 <= opaque;
}

// Pixels of the palette's colour nearest (r, g, b) in rows `top` to `top + rows`.
function countNearest(rgba, palette, [r, g, b], top, rows) {
  let best = 0, bestDistance = Infinity;
  for (let i = 0; i < palette.length; i += 3) {
    const d = (palette[i] - r) ** 2 + (palette[i + 1] - g) ** 2 + (palette[i + 2] - b) ** 2;
    if (d < bestDistance) { bestDistance = d; best = i; }
  }
  let count = 0;
  for (let i = 640 * top; i < 640 * (top + rows); ++i) {
    if (rgba[4 * i] === palette[best] && rgba[4 * i + 1] === palette[best + 1] &&
        rgba[4 * i + 2] === palette[best + 2]) ++count;
  }
  return count;
}

// The trace's frames so far (the page's copy of it, brought up to date).
async function frames(page) {
  const text = await page.evaluate(() => {
    Module._fflush(0);
    return Module.FS.readFile('/trace.jsonl', {encoding: 'utf8'});
  });
  return text.split('\n').filter(line => line.startsWith('{"frame"')).map(line => JSON.parse(line));
}
const last = async page => (await frames(page)).at(-1);

async function eventually(what, seconds, test) {
  const until = Date.now() + seconds * 1000;
  for (;;) {
    const result = await test();
    if (result || Date.now() > until) return result;
    await new Promise(resolve => setTimeout(resolve, 100));
  }
}

(async () => {
  const {browser, page, checks} = await launch();
  const title = picture('opn'), pause = picture('push'), palette = picture('back').palette;
  const yellowHud = async () => countNearest(await canvasRgba(page), palette, [255, 255, 0], 0, 16);
  const whiteResult = async () => countNearest(await canvasRgba(page), palette, [255, 255, 255], 320, 130);
  const check = checks.check;
  try {
    await page.goto(`${url}/index.html?trace`);
    await page.waitForFunction(() => Module.kawauoFirstShown !== undefined, null, {timeout: 15000});
    // Whether the page let the browser act on each game key: read after our handler.
    await page.evaluate(() => {
      window.kawauoUnprevented = [];
      window.addEventListener('keydown', e => { if (!e.defaultPrevented) kawauoUnprevented.push(e.code); });
    });
    check('the title shows', await eventually('title', 5, async () => showsOverlay(await canvasRgba(page), title)));
    const titleYellow = await yellowHud();

    await hold(page, 'Space');
    check('SPACE starts play: the HUD\'s key help appears',
          await eventually('hud', 5, async () => await yellowHud() > titleYellow + 150));
    check('the title is gone', !showsOverlay(await canvasRgba(page), title));
    check('the game is in play', (await last(page)).scene === 2);

    const start = (await last(page)).fish;
    await hold(page, 'ArrowRight', 600);
    const right = (await last(page)).fish;
    check(`RIGHT moves the fish right (x ${start[6]} -> ${right[6]})`, right[6] > start[6] + 20);
    await hold(page, 'ArrowUp', 600);
    const up = (await last(page)).fish;
    check(`UP moves the fish up (y ${right[10]} -> ${up[10]})`, up[10] < right[10] - 20);

    const beforeMove = (await last(page)).frame;
    await hold(page, 'F1');
    await page.waitForTimeout(200);
    check('F1 starts 魚の底力', (await frames(page)).some(f => f.frame > beforeMove && f.moves[1][1] !== 0));

    await hold(page, 'Space');
    check('SPACE pauses', await eventually('paused', 3, async () => (await last(page)).paused !== 0));
    check('the pause picture shows', await eventually('pause', 3, async () => showsOverlay(await canvasRgba(page), pause)));
    await hold(page, 'Space');
    check('SPACE resumes', await eventually('resumed', 3, async () => (await last(page)).paused === 0));

    const playWhite = await whiteResult();
    await hold(page, 'Tab');
    check('TAB retires to the result screen', await eventually('result', 5, async () => (await last(page)).scene === 3));
    check('the result\'s white figures show',
          await eventually('figures', 5, async () => await whiteResult() > playWhite + 400));

    await hold(page, 'Space');
    check('SPACE goes back to the title', await eventually('title', 5, async () => (await last(page)).scene === 0));
    check('the title shows again', await eventually('title', 5, async () => showsOverlay(await canvasRgba(page), title)));

    check('the page did not scroll for SPACE and the arrows', (await page.evaluate(() => window.scrollY)) === 0);
    const unprevented = await page.evaluate(() => kawauoUnprevented);
    check(`the browser saw none of the game's keys (${unprevented.join(' ') || 'none'})`, unprevented.length === 0);

    await hold(page, 'Escape');
    const ended = await eventually('ended', 5, () => page.evaluate(() => document.body.dataset.ended));
    check(`ESC ends the game with status 0 (${ended})`, ended === '0');
    const status = await page.textContent('#status');
    check(`the page says so: "${status}"`, /ended/.test(status));
  } finally {
    await browser.close();
  }
  report(checks);
})().catch(error => {
  console.error(error);
  process.exit(1);
});
