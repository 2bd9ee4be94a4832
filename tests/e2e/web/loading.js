// Loading and the end of a game in headless Chromium: a blocked kawauo.data,
// one the server does not have (404), one cut short, and a kawauo.wasm of the
// right size that is no program are each named on the page with "Try again",
// and "Save the run" waits for a run; with the network back "Try again"
// fetches them again and starts the game, the bar counting the bytes as they come.
// After ESC "Play again" starts a new game on the same page, which takes
// keys. A second visit starts with the server gone and the browser offline
// (the service worker's cache), the manifest and its icons included; a new
// version on the server replaces the cache. A kawauo.data of the right size
// but damaged is named with "Try again", which fetches it anew, also when
// the server says the browser's copy is current. A damaged font, fetched
// after the title's files, leaves the title playing; named with "Try
// again", it holds the run at its first text until it is fetched whole.
//   node loading.js PAGE_URL SITE_DIR
// The offline visits are served by the check itself, so that the server can go.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const {hold, last, eventually, framesPass, runChecks} = require('./browser');

const [pageUrl, site] = process.argv.slice(2);
const kTold = 5; // seconds within which a failed download is named

const types = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.css': 'text/css',
  '.png': 'image/png',
  '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json',
};

// Every file's date, as a plain static server says it: unchanged since.
const kModified = 'Mon, 07 Dec 2026 10:00:00 GMT';

// The site on a port of its own (`port`, else a free one); `swap(text)`
// rewrites sw.js as served. With `alter(name, bytes)`, any file is altered
// as served, and a request that asks whether a file changed since
// kModified is told it did not (304), as a plain server tells it of a file
// mended in place within the same second.
async function serveSite(port = 0, swap = text => text, alter = null) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).slice(1) || 'index.html';
    const file = path.join(site, name);
    if (name.includes('..') || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    if (alter && request.headers['if-modified-since'] === kModified) {
      response.writeHead(304).end();
      return;
    }
    let body = fs.readFileSync(file);
    if (alter) body = alter(name, body);
    if (name === 'sw.js') body = swap(body.toString());
    response.writeHead(200, {
      'content-type': types[path.extname(name)] || 'application/octet-stream',
      'last-modified': kModified,
    });
    response.end(body);
  });
  await new Promise(resolve => server.listen(port, '127.0.0.1', resolve));
  server.url = `http://127.0.0.1:${server.address().port}`;
  server.stop = () =>
    new Promise(resolve => {
      server.closeAllConnections();
      server.close(resolve);
    });
  return server;
}

const panel = page =>
  page.evaluate(() => ({
    shown: !document.getElementById('loader').hidden,
    text: document.getElementById('loader-text').textContent,
    button: document.getElementById('loader-again').hidden ? '' : document.getElementById('loader-again').textContent,
    value: document.getElementById('loader-bar').value,
    max: document.getElementById('loader-bar').max,
  }));
const titleShown = page => eventually(20, () => page.evaluate(() => window.kawauoGame?.firstShown !== undefined));

async function failedDownloads(page, check) {
  const data = '**/kawauo.data';
  const told = async (what, pattern) => {
    const said = await eventually(kTold, async () => {
      const now = await panel(page);
      return now.shown && now.button === 'Try again' && pattern.test(now.text) && now;
    });
    check(`${what} is named on the page within ${kTold} s, with Try again: "${said.text}"`, !!said);
  };
  await page.route(data, route => route.abort('blockedbyclient'));
  await page.goto(`${pageUrl}/index.html?trace&lang=en`);
  await told('a blocked kawauo.data', /^kawauo\.data .*network/);
  check('"Save the run" waits for a run', await page.evaluate(() => document.getElementById('recording').hidden));

  await page.unroute(data);
  await page.route(data, route => route.fulfill({status: 404, body: 'gone'}));
  await page.click('#loader-again');
  await told('kawauo.data answered with 404', /^kawauo\.data .*404/);

  await page.unroute(data);
  await page.route(data, async route => {
    const whole = await (await route.fetch()).body();
    route.fulfill({body: whole.subarray(0, whole.length >> 1)});
  });
  await page.click('#loader-again');
  await told('kawauo.data cut short', /^kawauo\.data arrived damaged: \d+ bytes of its \d+/);

  await page.unroute(data);
  const wasm = '**/kawauo.wasm';
  await page.route(wasm, async route => {
    const bytes = Buffer.from(await (await route.fetch()).body());
    bytes.fill(0, 0, 4); // no longer the build's
    route.fulfill({body: bytes});
  });
  await page.goto(`${pageUrl}/index.html?trace&lang=en`); // a page that has the program asks for it no more
  await told("a kawauo.wasm of the right size that is not the build's", /^kawauo\.wasm arrived damaged: its bytes/);

  // The network back, slow enough to see the bar move.
  await page.unroute(wasm);
  const network = await page.context().newCDPSession(page);
  await network.send('Network.emulateNetworkConditions', {
    offline: false,
    latency: 20,
    downloadThroughput: 1 << 20,
    uploadThroughput: -1,
  });
  await page.click('#loader-again');
  const seen = [];
  await eventually(
    30,
    async () => {
      seen.push(await panel(page));
      return page.evaluate(() => window.kawauoGame?.module?.calledRun === true);
    },
    20,
  );
  await network.send('Network.emulateNetworkConditions', {
    offline: false,
    latency: 0,
    downloadThroughput: -1,
    uploadThroughput: -1,
  });
  const midway = seen.find(now => now.value > 0 && now.value < now.max && /^Loading \d+ of \d+ kB/.test(now.text));
  check(
    `the bar counts the bytes as they come (${midway ? `${midway.value} of ${midway.max}: "${midway.text}"` : 'never'})`,
    !!midway,
  );
  check('with the network back Try again starts the game', await titleShown(page));
  check(
    'the panel goes and "Save the run" is offered',
    !(await panel(page)).shown && (await page.evaluate(() => !document.getElementById('recording').hidden)),
  );
}

async function playAgain(page, check) {
  await hold(page, 'Space');
  await eventually(5, async () => (await last(page)).scene === 2);
  await hold(page, 'Escape');
  const ended = await eventually(5, async () => {
    const now = await panel(page);
    return now.button === 'Play again' && now;
  });
  check(`after ESC the page offers Play again: "${ended && ended.text}"`, !!ended && /ended/.test(ended.text));
  await page.evaluate(() => {
    window.kawauoFirstGame = kawauoGame;
  });
  await page.click('#loader-again');
  const fresh = await eventually(10, () =>
    page.evaluate(
      () =>
        kawauoGame !== window.kawauoFirstGame &&
        kawauoGame.firstShown !== undefined &&
        document.body.dataset.ended === undefined,
    ),
  );
  const first = fresh && (await last(page));
  check(
    `Play again starts a new game on the title (frame ${first?.frame}, scene ${first?.scene})`,
    fresh && first.scene === 0 && first.frame < 120,
  );
  await hold(page, 'Space');
  check('the new game takes SPACE', await eventually(5, async () => (await last(page)).scene === 2));
  const start = (await last(page)).fish[6];
  await hold(page, 'ArrowRight', 36);
  const right = (await last(page)).fish[6];
  check(`and the arrows (x ${start} -> ${right})`, right > start + 20);
}

async function offline(browser, check) {
  const context = await browser.newContext();
  const page = await context.newPage();
  const server = await serveSite();
  await page.goto(`${server.url}/?trace`);
  check('a first visit plays', await titleShown(page));
  // Its files are all in the cache once its worker is active.
  const kept = await eventually(20, () =>
    page.evaluate(async () => {
      const worker = await navigator.serviceWorker.getRegistration();
      return worker?.active ? caches.keys() : null;
    }),
  );
  check(`the service worker keeps the folder (${kept})`, kept?.length === 1);
  const port = server.address().port;
  await server.stop();
  await context.setOffline(true);
  await page.reload();
  const fontCame = () =>
    page.evaluate(() =>
      Promise.race([kawauoGame.font.then(() => true), new Promise(resolve => setTimeout(resolve, 10000, false))]),
    );
  check(
    'with the server gone and offline, the next visit starts, and its font comes',
    (await titleShown(page)) && (await eventually(5, async () => (await last(page)).scene === 0)) && (await fontCame()),
  );

  const manifest = await page.evaluate(async () => {
    const response = await fetch(document.querySelector('link[rel=manifest]').href);
    const text = await response.json();
    const icons = await Promise.all(
      text.icons.map(async icon => {
        const picture = await createImageBitmap(await (await fetch(icon.src)).blob());
        return `${picture.width}x${picture.height}` === icon.sizes;
      }),
    );
    return {name: text.name, display: text.display, orientation: text.orientation, icons};
  });
  check(
    `the manifest and its icons, offline too (${JSON.stringify(manifest)})`,
    manifest.name === 'kawauo' &&
      manifest.display === 'fullscreen' &&
      manifest.orientation === 'landscape' &&
      manifest.icons.length > 0 &&
      manifest.icons.every(Boolean) &&
      manifest.icons.length === 7,
  );
  const installing = await page.evaluate(async () => {
    const text = await (await fetch(document.querySelector('link[rel=manifest]').href)).json();
    const apple = document.querySelector('link[rel=apple-touch-icon]').href;
    const picture = await createImageBitmap(await (await fetch(apple)).blob());
    return {
      sizes: text.icons.map(icon => icon.sizes),
      maskable: text.icons.some(icon => icon.purpose === 'maskable' && icon.sizes === '512x512'),
      apple: `${picture.width}x${picture.height}`,
    };
  });
  check(
    `an installed app's icons: 192 and 512 px, a maskable one, a 180 px apple-touch-icon (${JSON.stringify(installing)})`,
    installing.sizes.includes('192x192') &&
      installing.sizes.includes('512x512') &&
      installing.maskable &&
      installing.apple === '180x180',
  );

  // Another version on the server: its worker fills its own cache and drops the old one.
  const next = await serveSite(port, text => text.replace(/"cache": "([^"]*)"/, '"cache": "$1-next"'));
  await context.setOffline(false);
  await page.goto(`${next.url}/?trace`);
  await titleShown(page);
  const caches = await eventually(10, () =>
    page.evaluate(async () => {
      const names = await caches.keys();
      return names.length === 1 && names[0].endsWith('-next') && names;
    }),
  );
  check(`a new version replaces the cache (${caches || 'no'})`, !!caches);
  await next.stop();
  await context.close();
}

// A page of its own on `query`, from the site served with `file` damaged
// where its size does not show it, until mend(); the text its panel shows
// with Try again.
async function damagedOnServer(browser, file, query) {
  let damaged = true;
  const server = await serveSite(0, undefined, (name, bytes) => {
    if (name !== file || !damaged) return bytes;
    const copy = Buffer.from(bytes);
    copy[copy.length >> 1] ^= 0x55;
    return copy;
  });
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(`${server.url}/index.html${query}`);
  const said = await eventually(kTold * 4, async () => {
    const now = await panel(page);
    return now.button === 'Try again' && now.text;
  });
  const mend = () => {
    damaged = false;
  };
  const close = async () => {
    await context.close();
    await server.stop();
  };
  return {page, said, mend, close};
}

// kawauo.data damaged where its size does not show it: named, with Try
// again; mended on the server, whose date for it is unchanged, Try again
// starts the game.
async function damagedData(browser, check) {
  const {page, said, mend, close} = await damagedOnServer(browser, 'kawauo.data', '?lang=en');
  check(
    `a kawauo.data of the right size, damaged: named with Try again ("${said}")`,
    /^kawauo\.data arrived damaged: its bytes are not this version's/.test(said || ''),
  );
  mend();
  await page.click('#loader-again');
  check('mended on the server, Try again fetches it anew and starts the game', await titleShown(page));
  await close();
}

// The font damaged where its size does not show it: the title plays, the
// font is named with Try again; a run begun waits at its first text (no
// frame shown while the page's own frames pass) until Try again, mended on
// the server, brings it, and the run goes on.
async function damagedFont(browser, check) {
  const {page, said, mend, close} = await damagedOnServer(browser, 'font/glyphs16.bin', '?trace&lang=en');
  await framesPass(page, 10);
  check(
    `a font/glyphs16.bin of the right size, damaged: named with Try again ("${said}"), the title playing`,
    /^font\/glyphs16\.bin arrived damaged: its bytes are not this version's/.test(said || '') &&
      (await last(page)).scene === 0,
  );
  await page.evaluate(() => {
    kawauoGame.addEventListener('fontwanted', () => {
      window.kawauoFontWanted = kawauoGame.frames;
    });
  });
  await page.focus('#screen');
  await page.keyboard.down('Space');
  await framesPass(page, 2);
  await page.keyboard.up('Space');
  const wanted = await eventually(5, () => page.evaluate(() => window.kawauoFontWanted));
  const pageFrames = () => page.evaluate(() => new Promise(done => requestAnimationFrame(() => done())));
  for (let i = 0; i < 10; ++i) await pageFrames();
  const waited = await page.evaluate(() => kawauoGame.frames);
  check(
    `a run begun waits for the font at its first text (frame ${wanted}, still ${waited} ten of the page's frames later)`,
    wanted !== undefined && waited === wanted,
  );
  mend();
  await page.click('#loader-again');
  const goesOn = await eventually(10, async () => (await last(page)).scene === 2);
  await framesPass(page, 10);
  check(
    'mended on the server, Try again fetches the font anew and the run goes on',
    goesOn && !(await panel(page)).shown && (await last(page)).scene === 2,
  );
  await close();
}

runChecks(async ({browser, page, checks}) => {
  await damagedData(browser, checks.check);
  await damagedFont(browser, checks.check);
  await failedDownloads(page, checks.check);
  await playAgain(page, checks.check);
  await offline(browser, checks.check);
});
