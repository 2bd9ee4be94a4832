// The page's ?script= query: a path on the page's own site runs; anything
// else (a scheme, a host, another origin) is refused before it is fetched,
// and so is a redirection to another origin: the page says so and ends as a
// failed start. While a long script runs (a million events queued for one
// frame) the page keeps answering.
//   node script.js PAGE_URL
// The scripts come from the check itself, answering the page's requests for
// *.sim, and from a server of its own on another origin.
'use strict';
const http = require('http');
const {waitFor, runChecks} = require('./browser');

const [pageUrl] = process.argv.slice(2);
const origin = new URL(pageUrl).origin;

const short = 'seed 7\nframes 3\n';
// A million lines: the game hears every event in one frame, a few seconds of
// frames on either side, so that the probes below are sure to meet the run.
const long = 'seed 7\nframes 300\n' + 'down LEFT\nup LEFT\n'.repeat(499998) + 'frames 300\n';

// What ?script= refuses, `elsewhere` being another origin.
const refused = elsewhere => [
  `data:text/plain,${encodeURIComponent(short)}`,
  `${origin}/run.sim`,
  `${elsewhere}/run.sim`,
  `//${new URL(origin).host}/run.sim`,
  `//${new URL(elsewhere).host}/run.sim`,
  `/\\${new URL(elsewhere).host}/run.sim`,
  ` \tDATA:text/plain,${encodeURIComponent(short)}`,
  `blob:${origin}/0b5c7a4e-3f0e-4c55-9d1e-2f6c3a1d8e77`,
  'javascript:"seed 7"',
];

runChecks(async ({page, checks}) => {
  const check = checks.check;
  // Another origin, sharing its scripts with any page as a site may: still not this site's.
  const other = http.createServer((request, response) => {
    response.writeHead(200, {'content-type': 'text/plain', 'access-control-allow-origin': '*'});
    response.end(short);
  });
  await new Promise(resolve => other.listen(0, '127.0.0.1', resolve));
  const elsewhere = `http://127.0.0.1:${other.address().port}`;
  let body = short;
  const asked = [];
  await page.route(
    url => url.pathname.endsWith('.sim'),
    route => {
      asked.push(route.request().url());
      if (route.request().url().endsWith('/away.sim')) {
        route.fulfill({status: 302, headers: {location: `${elsewhere}/run.sim`}});
      } else {
        route.fulfill({body, contentType: 'text/plain'});
      }
    },
  );
  const open = value => page.goto(`${pageUrl}/index.html?script=${encodeURIComponent(value)}`);
  const ended = async () => {
    await waitFor(page, 'the end', () => document.body.dataset.ended !== undefined, null, 120);
    return page.evaluate(() => document.body.dataset.ended);
  };

  for (const value of ['run.sim', '../site/run.sim']) {
    await open(value);
    const status = await ended();
    check(
      `${value}: fetched from the page's folder and run to its end (${status})`,
      status === '0' && asked.at(-1) === `${pageUrl}/run.sim`,
    );
  }

  for (const value of refused(elsewhere)) {
    asked.length = 0;
    await open(value);
    const status = await ended();
    const said = await page.textContent('#status');
    const started = await page.evaluate(() => kawauoGame.module.calledRun === true);
    check(
      `${JSON.stringify(value)} is refused: nothing fetched, the game not started, status ${status}, "${said}"`,
      status === '2' && asked.length === 0 && !started && said.includes('a path on this site'),
    );
  }

  await open('away.sim');
  const status = await ended();
  const said = await page.textContent('#status');
  check(
    `a path on this site that redirects to another origin is refused: status ${status}, "${said}"`,
    status === '2' && said.includes('redirection off this site is refused'),
  );

  // Probes of the page while the long script runs, one after another until
  // it ends, each noting the game's frame. The other frames pass between
  // two turns of the page; the one that hears the million events lasts for
  // many: a page held through it answers no probe at that frame but one.
  const probe = () =>
    page.evaluate(() => ({frame: kawauoGame.frames, ended: document.body.dataset.ended !== undefined}));
  body = long;
  await open('long.sim');
  // Probed from the start of the run on: the script's 9 MB come slowly
  // through the check's own route, which is no part of the page.
  // Polled, answered by the page between the game's slices.
  await waitFor(page, 'the run', () => window.kawauoGame?.module?.calledRun === true, null, 120);
  const answersAt = new Map();
  for (let answer = await probe(); !answer.ended; answer = await probe()) {
    answersAt.set(answer.frame, (answersAt.get(answer.frame) || 0) + 1);
  }
  const answered = Math.max(0, ...answersAt.values());
  const longStatus = await ended();
  const longSaid = await page.textContent('#status'); // why, when it failed
  check(
    `the page answers while the game hears a million events in one frame: ${answered} probes at that frame; ` +
      `the run ends with ${longStatus} ("${longSaid}")`,
    answered > 1 && longStatus === '0',
  );
  other.close();
});
