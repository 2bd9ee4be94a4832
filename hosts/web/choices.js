// The page's choices and the runs it shows: the desktop's options read from
// the query (?lang=en, ?scale=fit|integer, ?outline, ?pause-unfocused) as
// arguments for the game's options::Parse; a small menu for the language,
// the scale and the text outline, whose changes the game saves as the
// settings file's lines (kept in localStorage, the query winning for its own
// visit); and a recording opened with "Watch a run" or dropped on the page,
// shown as kawauo --play shows it: the page starts again with it. The menu
// also holds "Save the run" (page.js offers it once a run exists) and
// "End the game…", which asks first: on a touch screen no single tap ends
// a run. It sits in the header, or folded into its button when the header
// is too narrow for it (showing.js), and then closes once used.
//   new Choices(query): the menu in the header, the page taking recordings.
//   choices.nextGame(): {args, files} of a new game: the query's options and,
//     but for a script's, the recording to show (once: the game after it plays).
//   choices.follow(game): the menu shows what `game` runs with and changes it.
//   choices.watching(): the name of the recording shown, or null.
import {askToEnd} from './presses.js';
import {say as text} from './texts.js';

const kOptions = ['lang', 'scale', 'outline', 'pause-unfocused'];
const kWatched = 'kawauo.watch'; // sessionStorage: the recording the page starts again with

// Each of the query's options as the command line says it: ?outline is
// --outline, ?lang=en --lang=en; the game refuses what it cannot take.
function queryArguments(query) {
  return kOptions
    .filter(name => query.has(name))
    .map(name => {
      const value = query.get(name);
      return `--${name}${value === '' ? '' : `=${value}`}`;
    });
}

// The page again, with `query`: a new game, its choices read afresh.
function startAgain(query) {
  const search = query.toString();
  if (search === location.search.replace(/^\?/, '')) location.reload();
  else location.search = search;
}

// The recording the page was started again to show, as the game's file
// /watch/NAME (its bytes as they were), taken once: a reload plays again.
function takeRecording() {
  let kept;
  try {
    kept = JSON.parse(sessionStorage.getItem(kWatched));
    sessionStorage.removeItem(kWatched);
  } catch {
    return null; // storage refused: nothing kept
  }
  if (!kept || typeof kept.name !== 'string' || typeof kept.bytes !== 'string') return null;
  // eslint-disable-next-line no-control-regex -- a NUL ends a name in the game's files
  const name = /^[^/\x00]+$/.test(kept.name) && !/^\.\.?$/.test(kept.name) ? kept.name : 'run.rec';
  const bytes = new Uint8Array(kept.bytes.length);
  for (let i = 0; i < bytes.length; ++i) bytes[i] = kept.bytes.charCodeAt(i);
  return {name, path: `/watch/${name}`, bytes};
}

function say(text) {
  document.getElementById('status').textContent = text;
}

// A recording picked or dropped: kept for the page's next start, bytes as
// characters 0-255. A script's page plays the recording instead.
function watch(file) {
  file.arrayBuffer().then(
    buffer => {
      const bytes = new Uint8Array(buffer);
      let text = '';
      for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
      try {
        sessionStorage.setItem(kWatched, JSON.stringify({name: file.name, bytes: text}));
      } catch (error) {
        say(text('cannotKeep', file.name, error.name));
        return;
      }
      const query = new URLSearchParams(location.search);
      query.delete('script');
      startAgain(query);
    },
    error => say(text('cannotRead', file.name, error.name)),
  );
}

// An element; `textKey` names its text in texts.js (said again in each language).
function element(tag, attributes, children = [], textKey = '') {
  const made = document.createElement(tag);
  for (const [key, value] of Object.entries(attributes)) made.setAttribute(key, value);
  made.append(...children);
  if (textKey) made.dataset.text = textKey;
  return made;
}

const option = (value, textKey) => element('option', {value}, [text(textKey)], textKey);

export class Choices {
  constructor(query) {
    this.query = query;
    this.watched = null; // the recording the game shows, or null
    this.game = null;
    this.menu = this.buildMenu();
    document.addEventListener('dragover', event => {
      if (!event.dataTransfer.types.includes('Files')) return;
      event.preventDefault();
      event.dataTransfer.dropEffect = 'copy';
    });
    document.addEventListener('drop', event => {
      if (!event.dataTransfer.files.length) return;
      event.preventDefault();
      watch(event.dataTransfer.files[0]);
    });
  }

  nextGame() {
    const watched = (this.watched = this.query.has('script') ? null : takeRecording());
    return {
      args: [...(watched ? [`--play=${watched.path}`] : []), ...queryArguments(this.query)],
      files: watched ? [{path: watched.path, contents: Promise.resolve(watched.bytes)}] : [],
    };
  }

  watching() {
    return this.watched && this.watched.name;
  }

  follow(game) {
    this.game = game;
    this.nameEnd();
    game.addEventListener('choices', event => this.told(event.detail));
  }

  // The menu's change, saved by the game; the language starts a new game
  // (the title's pictures are read at the start), the rest changes at once.
  // The menu wins over the query from now on.
  choose(name, value) {
    const saved = this.game.choose(name, value);
    const query = new URLSearchParams(location.search);
    if (name === 'lang') {
      if (saved) query.delete(name);
      else query.set(name, value); // the browser keeps nothing: this visit at least
      startAgain(query);
      return;
    }
    query.delete(name);
    const search = query.toString();
    history.replaceState(null, '', location.pathname + (search ? `?${search}` : '') + location.hash);
  }

  buildMenu() {
    const lang = element('select', {'data-choice': 'lang', 'data-label': 'language', 'aria-label': text('language')}, [
      element('option', {value: 'ja', lang: 'ja'}, ['日本語']),
      element('option', {value: 'en', lang: 'en'}, ['English']),
    ]);
    const scale = element('select', {'data-choice': 'scale', 'data-label': 'scale', 'aria-label': text('scale')}, [
      option('fit', 'scaleFit'),
      option('integer', 'scaleInteger'),
    ]);
    const outline = element('input', {type: 'checkbox', 'data-choice': 'outline'});
    const file = element('input', {type: 'file', accept: '.rec,text/plain', hidden: ''});
    const open = element(
      'button',
      {type: 'button', id: 'watch', 'data-title': 'watchRunHint'},
      [text('watchRun')],
      'watchRun',
    );
    open.title = text('watchRunHint');
    const save = element('button', {type: 'button', id: 'recording', 'data-title': 'saveRunHint', hidden: ''}, [
      text('saveRun'),
    ]);
    save.dataset.text = 'saveRun';
    this.end = element('button', {type: 'button', id: 'end-game'}, [text('endGame')]);
    const menu = element('div', {id: 'choices'}, [
      lang,
      scale,
      element('label', {}, [outline, ' ', element('span', {}, [text('outline')], 'outline')]),
      open,
      save,
      this.end,
      file,
    ]);
    for (const control of [lang, scale, outline]) {
      control.disabled = true; // until the game says what it runs with
      control.addEventListener('change', () => {
        this.choose(
          control.dataset.choice,
          control.type === 'checkbox' ? (control.checked ? 'yes' : 'no') : control.value,
        );
        this.close();
      });
    }
    open.addEventListener('click', () => file.click());
    file.addEventListener('change', () => {
      if (file.files[0]) watch(file.files[0]);
    });
    this.end.addEventListener('click', () => {
      this.close();
      if (this.game && !this.game.ended) askToEnd(this.game);
    });
    document.addEventListener('kawauo-language', () => this.nameEnd());
    // A header too narrow for the menu has it folded into a button (showing.js).
    this.toggle = element(
      'button',
      {
        type: 'button',
        id: 'menu-toggle',
        'data-label': 'menu',
        'aria-label': text('menu'),
        'aria-controls': 'choices',
        'aria-expanded': 'false',
      },
      ['☰'],
    );
    this.toggle.addEventListener('click', () => this.open(!document.body.classList.contains('menu-open')));
    // Opened, it closes on a touch or a click anywhere else, and on ESC.
    document.addEventListener('pointerdown', event => {
      if (!event.target.closest('#choices, #menu-toggle')) this.open(false);
    });
    menu.addEventListener('keydown', event => {
      if (event.key !== 'Escape' || !document.body.classList.contains('menu-open')) return;
      this.open(false);
      this.toggle.focus();
    });
    const header = document.querySelector('header');
    header.insertBefore(this.toggle, document.getElementById('fullscreen'));
    header.insertBefore(menu, document.getElementById('fullscreen'));
    return menu;
  }

  open(opened) {
    document.body.classList.toggle('menu-open', opened);
    this.toggle.setAttribute('aria-expanded', String(opened));
  }

  // The menu closed after a choice, the keys the game's again.
  close() {
    this.open(false);
    document.getElementById('screen').focus({preventScroll: true});
  }

  nameEnd() {
    this.end.textContent = text(this.watched ? 'stopWatching' : 'endGame');
  }

  // What the game runs with (library_choices.js); `kept` when the menu's
  // changes are saved (a player's run, not a script's).
  told(choices) {
    this.menu.querySelector('[data-choice=lang]').value = choices.lang;
    this.menu.querySelector('[data-choice=scale]').value = choices.scale;
    this.menu.querySelector('[data-choice=outline]').checked = choices.outline;
    for (const control of this.menu.querySelectorAll('[data-choice]')) control.disabled = !choices.kept;
  }
}
