// What the web checks share: Debian's Chromium through playwright-core, the
// canvas read back, keys held across frames, the game's trace (?trace), and
// the ok/FAIL lines.
'use strict';
const {chromium} = require('playwright-core');

async function launch() {
  // Debian's own Chromium: playwright-core never downloads a browser. Its
  // player reads Japanese first, as the game does when nothing chooses.
  const browser =
    await chromium.launch({executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--accept-lang=ja']});
  const page = await browser.newPage({viewport: {width: 1280, height: 1024}});
  const checks = {passed: 0, failed: 0, errors: []};
  page.on('console', message => { if (message.type() === 'error') checks.errors.push(message.text()); });
  page.on('pageerror', error => checks.errors.push(String(error)));
  checks.check = (what, ok) => {
    console.log(`${ok ? 'ok' : 'FAIL'}: ${what}`);
    ok ? ++checks.passed : ++checks.failed;
  };
  return {browser, page, checks};
}

// The canvas's pixels, RGBA, at 640x480: the canvas (WebGL's or 2D, at a
// whole factor) copied down nearest neighbour, one pixel of each block.
async function canvasRgba(page) {
  const base64 = await page.evaluate(() => {
    const copy = document.createElement('canvas');
    copy.width = 640;
    copy.height = 480;
    const context = copy.getContext('2d');
    context.imageSmoothingEnabled = false;
    context.drawImage(document.getElementById('screen'), 0, 0, 640, 480);
    const data = context.getImageData(0, 0, 640, 480).data;
    let text = '';
    for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
    return btoa(text);
  });
  return Buffer.from(base64, 'base64');
}

// Held across several frames: the game looks at its keys once a frame.
async function hold(page, key, ms = 120) {
  await page.keyboard.down(key);
  await page.waitForTimeout(ms);
  await page.keyboard.up(key);
  await page.waitForTimeout(150);
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

// The first truthy result of `test` within `seconds`, else its last.
async function eventually(seconds, test) {
  const until = Date.now() + seconds * 1000;
  for (;;) {
    const result = await test();
    if (result || Date.now() > until) return result;
    await new Promise(resolve => setTimeout(resolve, 100));
  }
}

function report(checks) {
  for (const error of checks.errors) console.log(`  console: ${error}`);
  console.log(`web: ${checks.passed} passed, ${checks.failed} failed`);
  process.exitCode = checks.failed === 0 ? 0 : 1;
}

// Runs `body({browser, page, checks})` in a browser of its own, closed
// whatever happens, then reports; anything thrown fails the run.
function runChecks(body) {
  (async () => {
    const session = await launch();
    try {
      await body(session);
    } finally {
      await session.browser.close();
    }
    report(session.checks);
  })().catch(error => {
    console.error(error);
    process.exit(1);
  });
}

module.exports = {canvasRgba, hold, frames, last, eventually, runChecks};
