// The web build end to end in headless Chromium: the page loads and shows
// the title, SPACE starts play with the HUD, the arrows move the fish, F1
// starts a move, SPACE pauses and resumes, TAB retires to the result, SPACE
// goes back to the title, ESC ends the game and the page says so; the
// browser's own use of the game's keys is prevented; the run's recording,
// saved from the page, replays in kawauo-sim to the very trace the page wrote.
//   node e2e.js URL SOURCE_DIR KAWAUO_SIM
// The picture is read from the canvas and judged by content: the title's
// and the pause's overlays shown, the HUD's yellow and the result's white
// text counted; the game's state comes from its trace (?trace).
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {readBmp, showsOverlay} = require('./pictures');
const {
  canvasRgba,
  firstFrame,
  framesPass,
  hold,
  setFocus,
  frames,
  last,
  eventually,
  openMenu,
  runChecks,
} = require('./browser');

const [url, source, sim] = process.argv.slice(2);
const picture = name => readBmp(path.join(source, 'bmp', `${name}.bmp`));

// Pixels of the palette's colour nearest (r, g, b) in rows `top` to `top + rows`.
function countNearest(rgba, palette, [r, g, b], top, rows) {
  let best = 0,
    bestDistance = Infinity;
  for (let i = 0; i < palette.length; i += 3) {
    const d = (palette[i] - r) ** 2 + (palette[i + 1] - g) ** 2 + (palette[i + 2] - b) ** 2;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  let count = 0;
  for (let i = 640 * top; i < 640 * (top + rows); ++i) {
    if (rgba[4 * i] === palette[best] && rgba[4 * i + 1] === palette[best + 1] && rgba[4 * i + 2] === palette[best + 2])
      ++count;
  }
  return count;
}

runChecks(async ({page, checks}) => {
  const title = picture('opn'),
    pause = picture('push'),
    palette = picture('back').palette;
  const yellowHud = async () => countNearest(await canvasRgba(page), palette, [255, 255, 0], 0, 16);
  const whiteResult = async () => countNearest(await canvasRgba(page), palette, [255, 255, 255], 320, 130);
  const check = checks.check;
  await page.goto(`${url}/index.html?trace`);
  await firstFrame(page);
  // Whether the page let the browser act on each game key: read after our handler.
  await page.evaluate(() => {
    window.kawauoUnprevented = [];
    const gameKeys = ['Space', 'Tab', 'Escape', 'ArrowLeft', 'ArrowUp', 'ArrowRight', 'ArrowDown', 'F1', 'F2', 'F3'];
    window.addEventListener('keydown', e => {
      if (gameKeys.includes(e.code) && !e.defaultPrevented) window.kawauoUnprevented.push(e.code);
    });
  });
  check('the title shows', await eventually(5, async () => showsOverlay(await canvasRgba(page), title)));
  const titleYellow = await yellowHud();

  await hold(page, 'Space');
  check(
    "SPACE starts play: the HUD's key help appears",
    await eventually(5, async () => (await yellowHud()) > titleYellow + 150),
  );
  check('the title is gone', !showsOverlay(await canvasRgba(page), title));
  check('the game is in play', (await last(page)).scene === 2);

  const start = (await last(page)).fish;
  await hold(page, 'ArrowRight', 36);
  const right = (await last(page)).fish;
  check(`RIGHT moves the fish right (x ${start[6]} -> ${right[6]})`, right[6] > start[6] + 20);
  await hold(page, 'ArrowUp', 36);
  const up = (await last(page)).fish;
  check(`UP moves the fish up (y ${right[10]} -> ${up[10]})`, up[10] < right[10] - 20);

  // Losing the page's focus lets go of a key still held, regaining it goes on.
  await page.keyboard.down('ArrowLeft');
  await framesPass(page, 9);
  await setFocus(page, false);
  await framesPass(page, 6);
  const away = (await last(page)).fish[6];
  await framesPass(page, 24);
  const later = (await last(page)).fish[6];
  check(
    `losing the focus lets go of LEFT, still held (x ${up[6]} -> ${away} -> ${later})`,
    away < up[6] && later === away,
  );
  await setFocus(page, true);
  await page.keyboard.up('ArrowLeft');
  await hold(page, 'ArrowLeft', 18);
  check('with the focus back the keys work again', (await last(page)).fish[6] < later);

  const beforeMove = (await last(page)).frame;
  await hold(page, 'F1');
  check(
    'F1 starts 魚の底力',
    (await frames(page)).some(f => f.frame > beforeMove && f.moves[1][1] !== 0),
  );

  await hold(page, 'Space');
  check('SPACE pauses', await eventually(3, async () => (await last(page)).paused !== 0));
  check('the pause picture shows', await eventually(3, async () => showsOverlay(await canvasRgba(page), pause)));
  await hold(page, 'Space');
  check('SPACE resumes', await eventually(3, async () => (await last(page)).paused === 0));

  const playWhite = await whiteResult();
  await hold(page, 'Tab');
  check('TAB retires to the result screen', await eventually(5, async () => (await last(page)).scene === 3));
  check("the result's white figures show", await eventually(5, async () => (await whiteResult()) > playWhite + 400));

  await hold(page, 'Space');
  check('SPACE goes back to the title', await eventually(5, async () => (await last(page)).scene === 0));
  check('the title shows again', await eventually(5, async () => showsOverlay(await canvasRgba(page), title)));

  // 1280x976 below the page's header: twice the picture, letterboxed.
  const box = () =>
    page.evaluate(() => {
      const r = document.getElementById('screen').getBoundingClientRect();
      return `${r.width}x${r.height}+${r.x}+${r.y}`;
    });
  check(`the picture at twice its size, centred below the header (${await box()})`, (await box()) === '1280x960+0+56');
  await page.keyboard.press('Alt+Enter');
  const full = await eventually(3, () => page.evaluate(() => document.fullscreenElement?.id));
  check(`Alt+Enter makes the stage full screen (${full})`, full === 'stage');
  const letterboxed = await eventually(3, async () => /^1280x960\+0\+/.test(await box()));
  check(`full screen, the picture is letterboxed (${await box()})`, letterboxed);
  await page.keyboard.press('Alt+Enter');
  check(
    'Alt+Enter again leaves full screen',
    await eventually(3, async () => (await page.evaluate(() => document.fullscreenElement)) === null),
  );
  check('Alt+Enter does not reach the game: still on the title', (await last(page)).scene === 0);

  check('the page did not scroll for SPACE and the arrows', (await page.evaluate(() => window.scrollY)) === 0);
  const unprevented = await page.evaluate(() => window.kawauoUnprevented);
  check(`the browser saw none of the game's keys (${unprevented.join(' ') || 'none'})`, unprevented.length === 0);

  await hold(page, 'Escape');
  const ended = await eventually(5, () => page.evaluate(() => document.body.dataset.ended));
  check(`ESC ends the game with status 0 (${ended})`, ended === '0');
  const status = await page.textContent('#status');
  check(`the page says so: "${status}"`, /終わりました/.test(status));

  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kawauo-web-'));
  await openMenu(page);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#recording')]);
  const recording = path.join(work, download.suggestedFilename());
  await download.saveAs(recording);
  const trace = await page.evaluate(() => kawauoGame.read('/trace.jsonl'));
  const replay = execFileSync(path.resolve(sim), ['--draws', recording], {
    cwd: source,
    encoding: 'utf8',
    maxBuffer: 1 << 30,
  });
  const [webLines, simLines] = [trace.split('\n'), replay.split('\n')];
  const differs = webLines.findIndex((line, i) => line !== simLines[i]);
  check(
    `the saved run (${path.basename(recording)}) replays in kawauo-sim to the page's trace, ` +
      `${webLines.length - 1} lines${differs < 0 ? '' : `; first differs at line ${differs + 1}`}`,
    differs < 0 && webLines.length === simLines.length && webLines.length > 100,
  );
  fs.rmSync(work, {recursive: true});
});
