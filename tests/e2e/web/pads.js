// A gamepad through the browser's Gamepad API (a virtual one, standard
// mapping, put in before the page's scripts): A starts play, the d-pad and
// the left stick swim, X is F1, Start pauses and resumes, Back retires,
// unplugging lets go of what it held, Guide quits; the game's state read
// from its trace.
//   node pads.js URL
'use strict';
const {firstFrame, framesPass, frames, last, eventually, runChecks} = require('./browser');

const [url] = process.argv.slice(2);

function virtualPad() {
  const pad = {
    connected: true,
    index: 0,
    id: 'virtual',
    mapping: 'standard',
    axes: [0, 0, 0, 0],
    buttons: Array.from({length: 17}, () => ({pressed: false, value: 0})),
  };
  let plugged = false;
  navigator.getGamepads = () => [plugged ? pad : null, null, null, null];
  window.kawauoPad = {
    plug: on => {
      plugged = on;
    },
    button: (b, on) => {
      pad.buttons[b] = {pressed: on, value: on ? 1 : 0};
    },
    stick: (x, y) => {
      pad.axes = [x, y, 0, 0];
    },
  };
}

runChecks(async ({page, checks}) => {
  const check = checks.check;
  const pad = (call, ...args) => page.evaluate(([call, args]) => window.kawauoPad[call](...args), [call, args]);
  // Held for `count` whole frames, then let go for two.
  const press = async (button, count = 9) => {
    await pad('button', button, true);
    await framesPass(page, count);
    await pad('button', button, false);
    await framesPass(page, 2);
  };
  await page.addInitScript(virtualPad);
  await page.goto(`${url}/index.html?trace`);
  await firstFrame(page);
  await pad('plug', true);
  await press(0);
  check('A starts play', await eventually(5, async () => (await last(page)).scene === 2));

  const start = (await last(page)).fish;
  await press(15, 24);
  const right = (await last(page)).fish;
  check(`the d-pad's right swims right (x ${start[6]} -> ${right[6]})`, right[6] > start[6] + 20);
  await pad('stick', 0, -1);
  await framesPass(page, 24);
  await pad('stick', 0, 0);
  await framesPass(page, 2);
  const up = (await last(page)).fish;
  check(`the stick pushed up swims up (y ${right[10]} -> ${up[10]})`, up[10] < right[10] - 20);

  const before = (await last(page)).frame;
  await press(2);
  check(
    'X starts 魚の底力 (F1)',
    (await frames(page)).some(f => f.frame > before && f.moves[1][1] !== 0),
  );

  await press(9);
  check('Start pauses', await eventually(3, async () => (await last(page)).paused !== 0));
  await press(9);
  check('Start resumes', await eventually(3, async () => (await last(page)).paused === 0));

  await pad('button', 14, true);
  await framesPass(page, 12);
  await pad('plug', false);
  await framesPass(page, 6);
  const gone = (await last(page)).fish[6];
  await framesPass(page, 18);
  const later = (await last(page)).fish[6];
  check(
    `unplugged, the pad lets go of its d-pad's left (x ${up[6]} -> ${gone} -> ${later})`,
    gone < up[6] && later === gone,
  );
  await pad('button', 14, false);
  await pad('plug', true);

  await press(8);
  check('Back retires to the result screen', await eventually(5, async () => (await last(page)).scene === 3));
  await press(16);
  const ended = await eventually(5, () => page.evaluate(() => document.body.dataset.ended));
  check(`Guide ends the game with status 0 (${ended})`, ended === '0');
});
