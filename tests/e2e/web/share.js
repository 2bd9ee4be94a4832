// A run's link on the page, in headless Chromium: each kept run's link
// (kawauo-sim --link) opened, or put in the address of the open page,
// replays the frames kawauo-sim replays from it, the header naming the
// version that made it and, on the result screen, that it was replayed from
// the link; a file holding a link plays as "Watch a run" plays a recording;
// a damaged, cut or foreign link is refused with what is wrong, and "Play
// instead" plays; a run played on the page to its result screen and shared,
// by the clipboard and by a stubbed Web Share (with a PNG of the result
// screen), gives the link kawauo-sim makes of that very run, asking nothing
// of any other site.
//   node share.js PAGE_URL SOURCE_DIR KAWAUO_SIM
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {waitFor, firstFrame, hold, eventually, runChecks} = require('./browser');

const [url, source, sim] = process.argv.slice(2);
const kResult = 3; // sim::Showing's result screen
const kRuns = ['retire', 'spent', 'twice'];

const simText = args =>
  execFileSync(path.resolve(sim), args, {cwd: source, encoding: 'utf8', maxBuffer: 1 << 30}).trim();
const frameLines = text => text.split('\n').filter(line => line.startsWith('{"frame"'));
const hashOf = link => link.slice(link.indexOf('#run='));

// The link `link` spoiled in one way each: bytes after its run, a character
// changed, cut short, another payload.
function spoiled(link) {
  const run = link.indexOf('#run=') + 5;
  const at = run + 35;
  const changed = link.slice(0, at) + (link[at] === 'A' ? 'B' : 'A') + link.slice(at + 1);
  const longer = Buffer.concat([Buffer.from(link.slice(run), 'base64url'), Buffer.from([0, 0, 0])]);
  return [
    {
      what: 'followed by more',
      link: link.slice(0, run) + longer.toString('base64url'),
      reason: /できません: damaged: more follows/,
    },
    {what: 'a character changed', link: changed, reason: /できません: damaged/},
    {what: 'cut short', link: link.slice(0, link.length >> 1), reason: /できません: truncated/},
    {
      what: 'a foreign one',
      link: `${link.slice(0, run)}aGVsbG8gd29ybGQ`,
      reason: /できません: not a link/,
    },
  ];
}

// The recording a link holds, as kawauo-sim --recording reads it.
function recordingOf(link, work) {
  const file = path.join(work, 'shared.rec');
  fs.writeFileSync(file, simText(['--recording', link]) + '\n');
  return file;
}

// A run played on the page up to its result screen: started, then retired.
async function playToResult(page) {
  await page.goto(`${url}/index.html`);
  await firstFrame(page);
  await hold(page, 'Space');
  await waitFor(page, 'play', () => kawauoGame.showing() === 1);
  await hold(page, 'Tab');
  await waitFor(page, 'the result screen', showing => kawauoGame.showing() === showing, kResult);
  await waitFor(page, 'the share button', () => !document.getElementById('share').hidden);
}

// The page's shared link is kawauo-sim's link of the recording it holds, and
// that recording is the page's run up to the share.
async function sameAsSim(page, link, work) {
  const shared = fs.readFileSync(recordingOf(link, work), 'utf8');
  const run = await page.evaluate(() => kawauoGame.recording());
  return run.startsWith(shared) && simText(['--link', path.join(work, 'shared.rec')]) === link;
}

runChecks(async ({page, checks}) => {
  const check = checks.check;
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kawauo-share-'));
  const status = () => page.textContent('#status');

  for (const run of kRuns) {
    const link = simText(['--link', `tests/replays/${run}.rec`]);
    const replayed = frameLines(simText(['--draws', link]));
    // The first opened, the others put in the address of the open page.
    if (run === kRuns[0]) await page.goto(`${url}/index.html?trace${hashOf(link)}`);
    else await Promise.all([page.waitForEvent('load'), page.evaluate(hash => (location.hash = hash), hashOf(link))]);
    await firstFrame(page);
    const during = await eventually(5, async () => /kawauo \d+\.\d+\.\d+/.test(await status()) && status());
    const played = await eventually(120, async () => {
      const lines = frameLines(await page.evaluate(() => kawauoGame.read('/trace.jsonl')));
      return lines.length >= replayed.length && lines;
    });
    const at = played ? replayed.findIndex((line, i) => line !== played[i]) : 0;
    check(
      `${run}.rec's link (${link.length} characters) replays kawauo-sim's ${replayed.length} frames` +
        `${at < 0 ? '' : `; first differs at frame line ${at + 1}`}, the header saying "${during}"`,
      at < 0 && /リンク/.test(during) && !(await page.evaluate(() => location.hash)),
    );
    await waitFor(page, 'the result screen', showing => kawauoGame.showing() === showing, kResult);
    const after = await eventually(5, async () => /リンクから再生/.test(await status()) && status());
    check(`on its result screen the header says "${after}"`, Boolean(after));
  }

  // A file holding a link, opened with "Watch a run".
  const link = simText(['--link', 'tests/replays/retire.rec']);
  const replayed = frameLines(simText(['--draws', link]));
  fs.writeFileSync(path.join(work, 'retire.txt'), `${link}\n`);
  await page.goto(`${url}/index.html?trace`);
  await firstFrame(page);
  await Promise.all([
    page.waitForNavigation(),
    page.setInputFiles('#choices input[type=file]', path.join(work, 'retire.txt')),
  ]);
  await firstFrame(page);
  const watched = await eventually(120, async () => {
    const lines = frameLines(await page.evaluate(() => kawauoGame.read('/trace.jsonl')));
    return lines.length >= replayed.length && lines;
  });
  check(
    `a file holding retire.rec's link, watched, replays its ${replayed.length} frames`,
    watched && replayed.every((line, i) => line === watched[i]),
  );

  for (const {what, link: bad, reason} of spoiled(link)) {
    await page.goto('about:blank');
    await page.goto(`${url}/index.html${hashOf(bad)}`);
    await waitFor(page, 'the game to end', () => document.body.dataset.ended !== undefined);
    const said = await status();
    const offered = await page.textContent('#loader-again');
    check(
      `a link ${what} is refused: "${said}", offering "${offered}"`,
      reason.test(said) && offered === '代わりに遊ぶ',
    );
  }
  await page.click('#loader-again');
  await firstFrame(page);
  check(
    '"Play instead" plays: the title, no run replayed',
    await page.evaluate(() => kawauoGame.showing() === 0 && !kawauoGame.args.some(arg => arg.startsWith('--play'))),
  );

  // Shared by the clipboard: Linux's Chromium has no Web Share.
  const asked = [];
  page.on('request', request => asked.push(request.url()));
  await page.context().grantPermissions(['clipboard-read', 'clipboard-write'], {origin: new URL(url).origin});
  await playToResult(page);
  asked.length = 0;
  await page.click('#share');
  await waitFor(page, 'the notice', () => !document.getElementById('share-notice').hidden);
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  check(
    `shared by the clipboard, said "${await page.textContent('#share-notice')}": kawauo-sim's link of the run`,
    await sameAsSim(page, copied, work),
  );
  const origin = new URL(url).origin;
  check(
    `sharing asks nothing of another site (${asked.length} requests: ${asked.map(u => (u.startsWith('blob:') ? 'blob:' : path.basename(u))).join(' ')})`,
    asked.every(address => address.startsWith(origin) || address.startsWith(`blob:${origin}/`)),
  );

  // Shared by a stubbed Web Share: the link and the result screen's PNG.
  await page.addInitScript(() => {
    navigator.canShare = () => true;
    navigator.share = async data => {
      const files = await Promise.all(
        (data.files || []).map(async file => ({
          name: file.name,
          type: file.type,
          bytes: [...new Uint8Array(await file.arrayBuffer())],
        })),
      );
      window.shared = {url: data.url, files};
    };
  });
  await playToResult(page);
  await page.click('#share');
  const shared = await waitFor(page, 'the share', () => window.shared);
  const png = Buffer.from(shared.files[0]?.bytes || []);
  const isPng = png.length > 24 && png.subarray(1, 4).toString() === 'PNG';
  check(
    `shared by Web Share: kawauo-sim's link of the run, and ${shared.files[0]?.name} of 640x480`,
    (await sameAsSim(page, shared.url, work)) && isPng && png.readUInt32BE(16) === 640 && png.readUInt32BE(20) === 480,
  );
  fs.rmSync(work, {recursive: true});
});
