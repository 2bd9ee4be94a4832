// The page around the game, its entry (the only script index.html names):
// full screen by button or Alt+Enter, the game's message boxes as a modal
// box, "Save the run", and what the page says when a game ends, with why when
// it failed; each game a new Game (game.js) handed to what follows it: the
// layout (layout.js), the touch controls (touch.js), the header's keys
// (showing.js), the menu and the runs shown (choices.js) and the keys the
// page presses for the player (presses.js); loader.js fetches the program
// and offers "Try again" and "Play again". The page speaks the game's
// language (texts.js); an argument of the query the game cannot take is
// left out, said in a notice, and the game starts with the rest.
// ?script=FILE runs a kawauo-sim script instead of the player's input, FILE
// a path on the page's own site, its shots kept by name in the game's shots;
// ?trace writes the trace of every frame (of a script, as kawauo-sim --trace
// does) to /trace.jsonl of the game's files (game.read brings it up to
// date); ?stats keeps frame times in the game's stats; ?webgl draws with
// WebGL even where the processor would draw it. window.kawauoGame is the
// game of the moment, for the checks and the console; the page's modules
// never read it.
import {Choices} from './choices.js';
import {Game} from './game.js';
import {Layout} from './layout.js';
import {Links} from './links.js';
import {Loader} from './loader.js';
import {Presses} from './presses.js';
import {Share} from './share.js';
import {KeysStatus} from './showing.js';
import {say, useLanguage} from './texts.js';
import {TouchControls} from './touch.js';

const query = new URLSearchParams(location.search);
const script = query.get('script');
const stage = document.getElementById('stage');
const canvas = document.getElementById('screen');
const status = document.getElementById('status');
const fullscreenButton = document.getElementById('fullscreen');
const box = document.getElementById('box');
const notice = document.getElementById('notice');

const choices = new Choices(query);
const recordingButton = document.getElementById('recording'); // in the menu
const links = new Links();
const followers = [
  new Layout(),
  new TouchControls(),
  new KeysStatus(
    () => choices.watching(),
    showing => links.said(showing),
  ),
  choices,
  links,
  new Share(),
  new Presses(),
];
const loader = new Loader(play);
let game = null;
let refused = []; // the query's arguments the game of the moment left out

function toggleFullscreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else if (stage.requestFullscreen) stage.requestFullscreen().catch(() => {});
}

// The script's URL when `value` is a path on this site, relative or from
// its root; else null: nothing with a scheme (http:, data:, blob:,
// javascript:, ...), nothing naming a host (//host), nothing landing on
// another origin (/\host). Read as the URL parser reads it: without
// tabs and line breaks, nor spaces and controls at either end.
function sameSiteUrl(value) {
  // eslint-disable-next-line no-control-regex -- the URL parser's own controls
  const text = value.replace(/[\t\n\r]/g, '').replace(/^[\x00-\x20]+|[\x00-\x20]+$/g, '');
  if (/^[a-z][a-z0-9+.-]*:/i.test(text) || /^[/\\]{2}/.test(text)) return null;
  const url = new URL(text, location.href);
  return url.origin === location.origin ? url : null;
}

// The text of ?script=, fetched from this site only (a redirection off it
// is refused by the page's connect-src); rejects saying why.
async function fetchScript() {
  const url = sameSiteUrl(script);
  if (!url) throw new Error(`?script= takes a path on this site, not ${JSON.stringify(script)}.`);
  let response;
  try {
    response = await fetch(url);
  } catch (error) {
    // The page's policy refuses a redirection off this site before the answer.
    throw new Error(`${script}: cannot be fetched (${error.message}); a redirection off this site is refused.`, {
      cause: error,
    });
  }
  if (!response.ok) throw new Error(`${script}: ${response.status}`);
  return response.text();
}

// Tells the page's header, and the loader's panel with its button: "Try
// again" for a game stopped before its first picture, else "Play again".
function ended(event) {
  const {status: code, why, failed} = event.detail;
  const linkRefused = links.refused(game);
  status.classList.add('ended');
  status.textContent =
    linkRefused !== null
      ? say('linkRefused', linkRefused)
      : (why ? `${why} ` : '') + (code === 0 ? say('gameEnded') : say('gameStopped', code));
  document.body.dataset.ended = String(code);
  const again =
    linkRefused !== null ? 'playInstead' : failed && game.firstShown === undefined ? 'tryAgain' : 'playAgain';
  loader.say(status.textContent, say(again));
}

// "Save the run" while a run of the player's exists: from its first picture, also once it has ended.
function offerRecording() {
  recordingButton.hidden = !game || game.firstShown === undefined || choices.watching() !== null || links.watching();
}

// The query's arguments the game left out, each said once, in the page's language.
function showRefused() {
  notice.hidden = refused.length === 0;
  notice.textContent = refused
    .map(({argument, why}) => say('ignored', `?${argument.replace(/^--/, '')}`, why.replace(/^kawauo: /, '')))
    .join(' ');
}

// The game's note in the notice line while it lasts, then the refused
// arguments' notice again, if any.
function showNote(text) {
  if (!text) return showRefused();
  notice.hidden = false;
  notice.textContent = text;
}

function showMessageBox(event) {
  event.preventDefault(); // shown: the game waits for its OK
  const {caption, text, done} = event.detail;
  document.getElementById('box-caption').textContent = caption;
  document.getElementById('box-text').textContent = text;
  box.addEventListener(
    'close',
    () => {
      canvas.focus({preventScroll: true});
      done();
    },
    {once: true},
  );
  box.showModal();
}

// A new game of `program`: the page as before any game, no run yet to save.
function play(program) {
  status.classList.remove('ended');
  delete document.body.dataset.ended;
  const shown = links.nextGame(choices.nextGame());
  const scripted = script ? ['--script=/run.sim'] : [];
  const traced = query.has('trace') ? ['--trace=/trace.jsonl'] : [];
  game = new Game({
    canvas,
    font: loader.font,
    args: [...scripted, ...traced, ...shown.args],
    files: [...(script ? [{path: '/run.sim', contents: fetchScript()}] : []), ...shown.files],
    stats: query.has('stats'),
    anyWebGL: query.has('webgl'),
  });
  offerRecording();
  refused = [];
  showRefused();
  game.addEventListener('ended', ended);
  game.addEventListener('messagebox', showMessageBox);
  game.addEventListener('note', event => showNote(event.detail));
  game.addEventListener('fontwanted', () => loader.fontWanted());
  game.addEventListener('choices', event => useLanguage(event.detail.lang));
  game.addEventListener('refused', event => {
    console.warn(event.detail.why); // as a settings line the page cannot read is said
    refused.push(event.detail);
    showRefused();
  });
  game.addEventListener('firstframe', () => {
    offerRecording();
    canvas.focus({preventScroll: true});
    loader.keepForOffline();
  });
  for (const follower of followers) follower.follow(game);
  game.start(program);
}

document.addEventListener('kawauo-language', showRefused);
notice.addEventListener('click', () => {
  notice.hidden = true;
});

fullscreenButton.hidden = !document.fullscreenEnabled; // an iPhone's browser, for one
fullscreenButton.addEventListener('click', () => {
  toggleFullscreen();
  canvas.focus({preventScroll: true}); // SPACE belongs to the game
});
window.addEventListener('keydown', event => {
  if (event.code === 'Enter' && event.altKey) {
    event.preventDefault();
    if (!event.repeat) toggleFullscreen();
  }
});
stage.addEventListener('click', event => {
  if (!event.target.closest('button')) canvas.focus({preventScroll: true});
});

// The run so far, as the recording kawauo --record writes.
recordingButton.addEventListener('click', () => {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([game.recording()], {type: 'text/plain'}));
  link.download = `kawauo-${new Date().toISOString().replace(/[-:]/g, '').replace('T', '-').slice(0, 15)}.rec`;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  canvas.focus({preventScroll: true});
});

// Anything thrown and not caught while a game runs (in the program, or in
// the page on its behalf) ends that game, said on the page.
// An event may carry no message (an error thrown from another realm, a
// rejection with nothing): the page then says what it has.
const reason = what => String((what && (what.message || what.reason || what.error)) || what || '?');
window.addEventListener('error', event => game?.fail(1, say('stoppedBy', reason(event.error ?? event.message))));
window.addEventListener('unhandledrejection', event => game?.fail(1, say('stoppedBy', reason(event.reason))));
Object.defineProperty(window, 'kawauoGame', {get: () => game});

loader.load();
