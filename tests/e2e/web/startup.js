// The page always starts or says why. Each file the page loads for a start
// (its modules, styles and icon, the program, the pictures and the font) is
// held back in turn until every other request has been answered and then
// until the game has shown its first frame, something has been thrown, or a timer of
// the page has ticked kHeldTicks times without it (animation frames would
// not come while a style sheet is awaited): whatever can run before it does (the page that ran its scripts in the order of their tags
// started its game without layout.js this way, and died). The title shows
// every time; the font, fetched after the title's files, is held back
// until the title has shown. An exception before the first frame is said on the page with
// "Try again", which then starts the game; one later, with "Play again",
// and the game it ended draws no more. The page's
// Content-Security-Policy refuses eval to any script of the page.
//   node startup.js PAGE_URL
'use strict';
const {eventually, waitFor, firstFrame, framesPass, runChecks} = require('./browser');

const [pageUrl] = process.argv.slice(2);
const kTitle = 'SPACEでスタート、ESCで終了、Tabでメニューへ。';
const kHeldTicks = 30;
const kNeededNotTicks = 500; // the title's bound when the held file is one it needs not, under the loader's 20 s
const kTickMilliseconds = 16;

const nameOf = request => new URL(request.url()).pathname.split('/').pop();

// Before the page's scripts: a timer of the page's own, counting its turns.
function countTicks(milliseconds) {
  window.kawauoTicks = 0;
  setInterval(() => ++window.kawauoTicks, milliseconds);
}

// What a page in its own context shows once its game has started, with
// `held` (a file's name, or '') held back as above, once; a file the title
// `needsNot` is held until the title shows, within kNeededNotTicks.
// Returns the page's title state, the files asked for, the page's ticks
// the held file waited for once the rest had come, and whether the title
// showed while it was held.
async function start(browser, held, needsNot = false) {
  const context = await browser.newContext({viewport: {width: 1280, height: 1024}});
  const page = await context.newPage();
  await page.addInitScript(countTicks, kTickMilliseconds);
  const errors = [];
  page.on('pageerror', error => errors.push(String(error)));
  const asked = new Set();
  let awaited = 0;
  let heldAsked = false;
  let waited = 0;
  let shownWhileHeld = false;
  let release;
  const released = new Promise(resolve => {
    release = resolve;
  });
  let othersCame;
  const allOthers = new Promise(resolve => {
    othersCame = resolve;
  });
  const settle = () => {
    if (heldAsked && awaited === 0) othersCame();
  };
  page.on('request', request => {
    asked.add(nameOf(request));
    if (nameOf(request) !== held) ++awaited;
  });
  const answered = request => {
    if (nameOf(request) === held) return;
    --awaited;
    settle();
  };
  page.on('requestfinished', answered);
  page.on('requestfailed', answered);
  // 'shown' once the title has, 'ticked' once the ticks are up, else ''.
  const moved = from =>
    page.evaluate(
      ([from, frames]) =>
        window.kawauoGame?.firstShown !== undefined ? 'shown' : window.kawauoTicks >= from + frames ? 'ticked' : '',
      [from, needsNot ? kNeededNotTicks : kHeldTicks],
    );
  await page.route('**/*', async route => {
    if (nameOf(route.request()) === held && !heldAsked) {
      heldAsked = true;
      settle();
      await allOthers;
      const from = await page.evaluate(() => window.kawauoTicks);
      shownWhileHeld = (await eventually(60, async () => errors.length > 0 || (await moved(from)), 20)) === 'shown';
      waited = (await page.evaluate(() => window.kawauoTicks)) - from;
      release();
    }
    await route.continue();
  });
  await page.goto(`${pageUrl}/index.html`);
  let title = false;
  try {
    await waitFor(page, 'the first frame or the end', () => {
      return window.kawauoGame?.firstShown !== undefined || document.body.dataset.ended !== undefined;
    });
    title = await waitFor(
      page,
      'the title in the header',
      kTitle => kawauoGame.showing() === 0 && document.getElementById('status').textContent === kTitle,
      kTitle,
      10,
    );
  } catch (error) {
    errors.push(String(error));
  }
  if (heldAsked) await released;
  await page.unrouteAll({behavior: 'ignoreErrors'});
  await context.close();
  return {title, asked, waited, shownWhileHeld, errors};
}

// A canvas that cannot be drawn on the first time it is asked: the browser
// throws inside the game's start, before any frame.
function failingCanvas() {
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function () {
    HTMLCanvasElement.prototype.getContext = getContext;
    throw new Error('no context for the canvas');
  };
}

// A script of the page's own (blob:, as the loader runs the program) trying eval.
const tryEval = () =>
  new Promise(resolve => {
    const script = document.createElement('script');
    window.kawauoEval = null;
    script.src = URL.createObjectURL(
      new Blob([
        "try { window.kawauoEval = String(eval('6 * 7')); } catch (error) { window.kawauoEval = error.name; }",
      ]),
    );
    script.onload = () => resolve(window.kawauoEval);
    script.onerror = () => resolve('not run');
    document.head.append(script);
  });

runChecks(async ({browser, page, checks}) => {
  const check = checks.check;
  const plain = await start(browser, '');
  const files = [...plain.asked].filter(name => name !== 'index.html' && name !== 'sw.js' && !name.startsWith('blob:'));
  const needed = [
    'page.js',
    'game.js',
    'loader.js',
    'layout.js',
    'kawauo.js',
    'kawauo-data.js',
    'kawauo.wasm',
    'kawauo.data',
    'glyphs16.bin',
    'cp932.bin',
  ];
  check(
    `a start asks for the page's files (${files.join(' ')})`,
    plain.title && needed.every(name => files.includes(name)),
  );
  const later = ['glyphs16.bin', 'cp932.bin']; // the font, which the title needs not
  for (const name of files) {
    const needsNot = later.includes(name);
    const run = await start(browser, name, needsNot);
    check(
      `${name} held back ${run.waited} ticks after the rest came: the title shows` +
        (needsNot ? ` while it is held (${run.shownWhileHeld})` : '') +
        (run.errors.length ? ` (${run.errors.join('; ')})` : ''),
      run.title && run.errors.length === 0 && (!needsNot || run.shownWhileHeld),
    );
  }

  await page.addInitScript(failingCanvas);
  await page.goto(`${pageUrl}/index.html`);
  const said = await waitFor(page, 'the failure said', () => {
    const again = document.getElementById('loader-again');
    return !again.hidden && {button: again.textContent, status: document.getElementById('status').textContent};
  });
  check(
    `an exception before the first frame is said with Try again: "${said.status}"`,
    said.button === 'もう一度' && /no context for the canvas/.test(said.status) && /終了コード 1/.test(said.status),
  );
  await page.click('#loader-again');
  await firstFrame(page);
  check('Try again starts the game on its title', await page.evaluate(() => kawauoGame.showing() === 0));

  // A fault of the page's own while a game runs ends that game, said with
  // Play again; it draws no more once the next one has the canvas.
  const stopped = await page.evaluate(() => {
    window.kawauoStopped = kawauoGame;
    kawauoGame.addEventListener('scale', () => {
      throw new Error('a fault of the page');
    });
    kawauoGame.tell('scale', 'fit');
    return {button: document.getElementById('loader-again').textContent, frames: kawauoGame.frames};
  });
  await page.click('#loader-again');
  await waitFor(
    page,
    'the next game',
    () => kawauoGame !== window.kawauoStopped && kawauoGame.firstShown !== undefined,
  );
  await framesPass(page, 30);
  const after = await page.evaluate(() => [window.kawauoStopped.frames, document.getElementById('status').textContent]);
  check(
    `a fault of the page ends the game with ${stopped.button}, which stops: ${stopped.frames} -> ${after[0]} frames` +
      ` while the next shows 30 ("${after[1]}")`,
    stopped.button === 'もう一度遊ぶ' && after[0] === stopped.frames && after[1] === kTitle,
  );
  checks.errors.length = 0; // the exceptions above were meant

  const evaluated = await page.evaluate(tryEval);
  check(`the page's policy refuses eval to its scripts (${evaluated})`, evaluated === 'EvalError');
});
