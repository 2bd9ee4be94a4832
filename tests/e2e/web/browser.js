// What the web checks share: Debian's Chromium through playwright-core, the
// canvas read back, waits on the game's own progress (its frames shown, its
// first picture), keys held for whole frames, the game's trace (?trace), and
// the ok/FAIL lines. The page runs under its Content-Security-Policy, which
// forbids eval: playwright's waitForFunction evaluates a string in the page,
// so the waits here poll page.evaluate instead.
'use strict';
const {chromium} = require('playwright-core');

async function launch() {
  // Debian's own Chromium: playwright-core never downloads a browser. Its
  // player reads Japanese first, as the game does when nothing chooses.
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--accept-lang=ja'],
  });
  const page = await browser.newPage({viewport: {width: 1280, height: 1024}});
  const checks = {passed: 0, failed: 0, errors: []};
  page.on('console', message => {
    if (message.type() === 'error') checks.errors.push(message.text());
  });
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

// The first truthy result of `test` within `seconds`, else its last.
async function eventually(seconds, test, every = 100) {
  const until = Date.now() + seconds * 1000;
  for (;;) {
    const result = await test();
    if (result || Date.now() > until) return result;
    await new Promise(resolve => setTimeout(resolve, every));
  }
}

// The first truthy result of `test(arg)` run in the page within `seconds`;
// throws, naming what it waited for, when there is none.
async function waitFor(page, what, test, arg, seconds = 60) {
  const result = await eventually(seconds, () => page.evaluate(test, arg), 20);
  if (!result) throw new Error(`waited ${seconds} s for ${what}`);
  return result;
}

// Until the page's game has shown its first picture.
const firstFrame = page => waitFor(page, 'the first frame', () => window.kawauoGame?.firstShown !== undefined);

// Until the page's game has shown `count` more pictures than now, or has ended.
async function framesPass(page, count) {
  const target = (await page.evaluate(() => kawauoGame.frames)) + count;
  await waitFor(page, `frame ${target}`, target => kawauoGame.frames >= target || kawauoGame.ended, target);
}

// Held for `count` whole frames (the game looks at its keys once a frame),
// then let go for two.
async function hold(page, key, count = 8) {
  await page.keyboard.down(key);
  await framesPass(page, count);
  await page.keyboard.up(key);
  await framesPass(page, 2);
}

// The page seen to lose (false) or regain the focus, as when another window takes it.
const setFocus = (page, focused) =>
  page.evaluate(focused => {
    if (focused) delete document.hasFocus;
    else document.hasFocus = () => false;
    window.dispatchEvent(new Event(focused ? 'focus' : 'blur'));
  }, focused);

// The trace's frames so far (the page's copy of it, brought up to date).
async function frames(page) {
  const text = await page.evaluate(() => kawauoGame.read('/trace.jsonl'));
  return text
    .split('\n')
    .filter(line => line.startsWith('{"frame"'))
    .map(line => JSON.parse(line));
}
const last = async page => (await frames(page)).at(-1);

// A phone of `width` x `height` CSS pixels at `ratio` device pixels each,
// touch its input, showing `address` up to the game's first picture; its
// context, its page, and touch(type, points) through the DevTools protocol.
async function onPhoneAt(browser, address, width, height, ratio) {
  const context = await browser.newContext({
    viewport: {width, height},
    deviceScaleFactor: ratio,
    isMobile: true,
    hasTouch: true,
  });
  const page = await context.newPage();
  await page.goto(address);
  await firstFrame(page);
  const cdp = await context.newCDPSession(page);
  const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', {type, touchPoints: points});
  return {context, page, touch};
}

// The menu's controls in sight: a header too narrow for the menu has it
// folded into its button, which opens it.
async function openMenu(page) {
  if ((await page.isVisible('#menu-toggle')) && !(await page.isVisible('#choices'))) await page.click('#menu-toggle');
}

// A first visit to `url` in a context of its own (an empty cache) on a
// phone's network: `mbps` down, `latency` ms each way and back, from a plain
// static server. Resolves to the milliseconds from navigation to the
// title's first picture (`title`) and the bytes the page fetched for it
// (`bytes`: their transfer sizes, headers and bodies, as they crossed the
// network), then, the font fetched after the title's files, to the
// milliseconds until the font had come (`font`) and the bytes of the whole
// visit (`whole`).
async function firstVisit(browser, url, {mbps = 1.6, latency = 150} = {}) {
  const context = await browser.newContext({viewport: {width: 844, height: 390}, serviceWorkers: 'block'});
  try {
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions', {
      offline: false,
      latency,
      downloadThroughput: (mbps * 1e6) / 8,
      uploadThroughput: (0.75 * 1e6) / 8,
    });
    let bytes = 0;
    cdp.on('Network.loadingFinished', event => {
      bytes += event.encodedDataLength;
    });
    await page.goto(url);
    await waitFor(page, 'the first frame', () => window.kawauoGame?.firstShown !== undefined, undefined, 120);
    const title = await page.evaluate(() => kawauoGame.firstShown);
    const titleBytes = bytes;
    // The font's files have been read to their ends, so the browser has told of them.
    const font = await page.evaluate(async () => {
      await kawauoGame.font;
      return performance.now();
    });
    return {title, bytes: titleBytes, font, whole: bytes};
  } finally {
    await context.close();
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

module.exports = {
  canvasRgba,
  eventually,
  waitFor,
  firstFrame,
  framesPass,
  hold,
  setFocus,
  frames,
  last,
  firstVisit,
  openMenu,
  onPhoneAt,
  runChecks,
};
