// The page's choices and the runs it shows, in one browser: the committed
// scripts run through ?script=FILE&trace write kawauo-sim's trace line for
// line (screens.sim also in English, its title and pause shots as
// kawauo-sim --lang en's); ?lang=en plays in English, as does a browser
// whose first language is English; ?lang=fr is left out with a notice and
// the console's word, and the game starts; ?pause-unfocused
// stops the game's clock while the page is away; the menu's choices
// survive a reload (kept in localStorage as the settings file's lines), a
// line the page cannot read is said and kept, and the query wins for its
// visit; a recording opened on the page (picked, or dropped) plays the
// frames kawauo-sim replays from it.
//   node choices.js PAGE_URL SOURCE_DIR KAWAUO_SIM
// SOURCE_DIR is served at the root of PAGE_URL's server, its scripts with it.
'use strict';
const {execFileSync, spawnSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {readBmp, readPalettePng, showsOverlay} = require('./pictures');
const {canvasRgba, eventually, firstFrame, framesPass, setFocus, openMenu, runChecks} = require('./browser');

const [url, source, sim] = process.argv.slice(2);
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kawauo-choices-'));
const scripts = [
  'docs/screens/screens.sim',
  'tests/e2e/web/agreement.sim',
  'tests/e2e/windows/moves.sim',
  'tests/e2e/windows/broken.sim',
  'tests/replays/retire.rec',
  'tests/replays/twice.rec',
  'tests/replays/spent.rec',
];

// kawauo-sim's trace of `script` (a path in SOURCE_DIR) and the folder of its shots.
function simRun(script, args, name) {
  const shots = path.join(work, name);
  const trace = path.join(work, `${name}.jsonl`);
  spawnSync(path.resolve(sim), [...args, '--trace', trace, '--shots', shots, script], {cwd: source});
  return {trace: fs.readFileSync(trace, 'utf8'), shots};
}

// The first line where two texts differ, or -1.
function firstDifference(a, b) {
  const [x, y] = [a.split('\n'), b.split('\n')];
  const at = x.findIndex((line, i) => line !== y[i]);
  return at >= 0 ? at : x.length === y.length ? -1 : x.length;
}

const frameLines = text => text.split('\n').filter(line => line.startsWith('{"frame"'));

runChecks(async ({browser, page, checks}) => {
  const check = checks.check;
  const said = [];
  page.on('console', message => said.push(message.text()));
  const ended = () => page.evaluate(() => document.body.dataset.ended !== undefined);
  const shown = () => firstFrame(page);
  // The page's trace so far ('' when there is none).
  const traceText = () => page.evaluate(() => kawauoGame.read('/trace.jsonl'));
  // A script's run to its end, each message box given its OK as a player would.
  const runScript = async (script, query) => {
    await page.goto(`${url}/index.html?script=${encodeURIComponent('/' + script)}&trace${query}`);
    await eventually(120, async () => {
      if (await page.evaluate(() => document.getElementById('box').open)) await page.click('#box-ok');
      return ended();
    });
    return traceText();
  };

  for (const script of scripts) {
    const web = await runScript(script, '');
    const native = simRun(script, [], path.basename(script)).trace;
    const at = firstDifference(web, native);
    check(
      `${script}: the page's trace is kawauo-sim --trace's, ${native.split('\n').length - 1} lines` +
        `${at < 0 ? '' : `; first differs at line ${at + 1}`}`,
      at < 0 && native.length > 0,
    );
  }

  // In English: the trace and the English title and pause, as kawauo-sim --lang en's.
  const english = await runScript('docs/screens/screens.sim', '&lang=en');
  const native = simRun('docs/screens/screens.sim', ['--lang', 'en'], 'screens-en');
  check("screens.sim in English: the trace is kawauo-sim --lang en's", firstDifference(english, native.trace) < 0);
  for (const shot of ['title', 'pause']) {
    const web = Buffer.from(await page.evaluate(name => Array.from(kawauoGame.shots[name].pixels), shot));
    const en = readPalettePng(path.join(native.shots, `${shot}.png`)).pixels;
    const ja = readPalettePng(path.join(work, 'screens.sim', `${shot}.png`)).pixels;
    check(
      `?lang=en: the ${shot} shot is kawauo-sim --lang en's, not the Japanese one`,
      Buffer.compare(web, Buffer.from(en)) === 0 && Buffer.compare(web, Buffer.from(ja)) !== 0,
    );
  }

  // A player's page: ?lang=en shows the English title.
  const title = {ja: readBmp(path.join(source, 'bmp/opn.bmp')), en: readBmp(path.join(source, 'bmp/en/opn.bmp'))};
  const titleShows = lang => eventually(5, async () => showsOverlay(await canvasRgba(page), title[lang]));
  await page.setViewportSize({width: 1366, height: 768});
  await page.goto(`${url}/index.html?lang=en`);
  await shown();
  check('?lang=en: the English title shows', await titleShows('en'));

  // A browser whose first language is not Japanese (this one's is): with no
  // query and nothing kept, the page speaks English.
  const englishBrowser = await browser.newContext({locale: 'en-US', viewport: {width: 1366, height: 768}});
  const abroad = await englishBrowser.newPage();
  await abroad.goto(`${url}/index.html`);
  await firstFrame(abroad);
  check(
    'an English browser: the English title shows',
    await eventually(5, async () => showsOverlay(await canvasRgba(abroad), title.en)),
  );
  await englishBrowser.close();

  said.length = 0;
  await page.goto(`${url}/index.html?lang=fr`);
  await shown();
  const notice = await page.evaluate(() => document.getElementById('notice').textContent);
  check(
    `?lang=fr is left out, said as the command line says it ("${said.find(t => t.includes('fr'))}"), ` +
      `with a notice ("${notice}"), and the game starts on its Japanese title`,
    said.includes("kawauo: --lang: 'fr' is not a LANG") &&
      notice.includes('?lang=fr') &&
      (await titleShows('ja')) &&
      (await page.evaluate(() => document.body.dataset.ended)) === undefined,
  );

  // ?pause-unfocused: the game's clock stands while the page is away, and goes on after.
  await page.goto(`${url}/index.html?pause-unfocused&trace`);
  await shown();
  const tick = async () => JSON.parse(frameLines(await traceText()).at(-1) || '{}').tick;
  await setFocus(page, false);
  await framesPass(page, 6);
  const away = await tick();
  await framesPass(page, 24);
  const stillAway = await tick();
  await setFocus(page, true);
  await framesPass(page, 18);
  const back = await tick();
  check(
    `?pause-unfocused: the clock stands while the page is away (${away} -> ${stillAway}), then goes on (${back})`,
    stillAway === away && back > away + 100,
  );

  // The menu: a choice kept as the settings file's line, and still there after a reload.
  const menu = () =>
    page.evaluate(
      () =>
        ['lang', 'scale', 'outline']
          .map(name => {
            const control = document.querySelector(`[data-choice=${name}]`);
            return control.type === 'checkbox' ? (control.checked ? 'yes' : 'no') : control.value;
          })
          .join(' ') +
        ' ' +
        document.getElementById('screen').getBoundingClientRect().width,
    );
  const stored = () => page.evaluate(() => localStorage.getItem('kawauo.settings'));
  await page.goto(`${url}/index.html`);
  await shown();
  check(`a new player's menu: Japanese, fit (${await menu()})`, (await menu()) === 'ja fit no 960');
  await openMenu(page);
  await page.selectOption('[data-choice=scale]', 'integer');
  check(`the menu's integer scale shows at once (${await menu()})`, (await menu()) === 'ja integer no 640');
  check("and is kept as the settings file's line", /^scale = integer$/m.test((await stored()) || ''));
  await openMenu(page);
  await Promise.all([page.waitForNavigation(), page.selectOption('[data-choice=lang]', 'en')]);
  await shown();
  check(
    `English from the menu starts the game again in English, the scale kept (${await menu()})`,
    (await menu()) === 'en integer no 640' && (await titleShows('en')),
  );
  await page.reload();
  await shown();
  check(`a reload keeps both (${await menu()})`, (await menu()) === 'en integer no 640' && (await titleShows('en')));

  const before = await stored();
  await page.goto(`${url}/index.html?lang=ja&scale=fit&outline`);
  await shown();
  check(
    `the query wins for its visit (${await menu()})`,
    (await menu()) === 'ja fit yes 960' && (await titleShows('ja')),
  );
  check('and leaves the kept choices as they were', (await stored()) === before);

  // A line the page cannot read: said as the settings file's are, kept when the menu saves.
  await page.evaluate(() => localStorage.setItem('kawauo.settings', '# mine\nlang = fr\nscale = integer\n'));
  said.length = 0;
  await page.goto(`${url}/index.html`);
  await shown();
  const problem = said.find(text => text.includes('kawauo.settings:2:'));
  check(`the line is said: "${problem}"`, problem === "kawauo.settings:2: 'fr' is not ja or en");
  check(`the lines around it still count (${await menu()})`, (await menu()) === 'ja integer no 640');
  await openMenu(page);
  await page.check('[data-choice=outline]');
  const kept = await stored();
  check(
    `saving keeps it, and the player's comment: ${JSON.stringify(kept)}`,
    kept === '# mine\nlang = fr\nscale = integer\noutline = yes\n',
  );

  // A recording picked on the page, shown as kawauo --play shows it.
  const replayed = frameLines(
    execFileSync(path.resolve(sim), ['--draws', 'tests/replays/retire.rec'], {
      cwd: source,
      encoding: 'utf8',
      maxBuffer: 1 << 30,
    }),
  );
  await page.goto(`${url}/index.html?trace`);
  await shown();
  await Promise.all([
    page.waitForNavigation(),
    page.setInputFiles('#choices input[type=file]', path.join(source, 'tests/replays/retire.rec')),
  ]);
  await shown();
  // The header follows the game a few times a second.
  const status =
    (await eventually(5, async () => {
      const said = await page.textContent('#status');
      return /再生中/.test(said) && said;
    })) || (await page.textContent('#status'));
  check('"Save the run" is not offered while a run is shown', await page.isHidden('#recording'));
  const played = await eventually(30, async () => {
    const lines = frameLines(await traceText());
    return lines.length >= replayed.length && lines;
  });
  const at = played ? replayed.findIndex((line, i) => line !== played[i]) : 0;
  check(
    `retire.rec picked: "${status}", its ${replayed.length} frames as kawauo-sim --draws replays them` +
      `${at < 0 ? '' : `; first differs at frame line ${at + 1}`}`,
    at < 0 && /retire\.rec を再生中/.test(status),
  );

  // Dropped on the page: the first second of twice.rec.
  const lines = fs.readFileSync(path.join(source, 'tests/replays/twice.rec'), 'utf8').split('\n');
  let counted = 0;
  const cut =
    lines.slice(0, lines.findIndex(line => line.startsWith('frame') && ++counted === 60) + 1).join('\n') + '\n';
  fs.writeFileSync(path.join(work, 'first.rec'), cut);
  const short = frameLines(
    execFileSync(path.resolve(sim), ['--draws', path.join(work, 'first.rec')], {
      cwd: source,
      encoding: 'utf8',
      maxBuffer: 1 << 30,
    }),
  );
  await Promise.all([
    page.waitForNavigation(),
    page.evaluate(text => {
      const data = new DataTransfer();
      data.items.add(new File([text], 'first.rec', {type: 'text/plain'}));
      document
        .getElementById('stage')
        .dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true, cancelable: true}));
    }, cut),
  ]);
  await shown();
  const droppedFrames = await eventually(10, async () => {
    const lines = frameLines(await traceText());
    return lines.length >= short.length && lines;
  });
  check(
    `a recording dropped on the page plays its ${short.length} frames as kawauo-sim's`,
    droppedFrames && short.every((line, i) => line === droppedFrames[i]),
  );
  fs.rmSync(work, {recursive: true});
});
