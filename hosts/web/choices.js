// The page's choices and the runs it shows: the desktop's options read from
// the query (?lang=en, ?scale=fit|integer, ?outline, ?pause-unfocused) as
// arguments for the game's options::Parse; a small menu for the language,
// the scale and the text outline, whose changes the game saves as the
// settings file's lines (kept in localStorage, the query winning for its own
// visit); and a recording opened with "Watch a run" or dropped on the page,
// shown as kawauo --play shows it: the page starts again with it.
//   kawauoChoices.game(module, query): a game's Module with all this added.
//   kawauoChoices.startAgain(query): a new game with the query, the
//   recording kept for it shown.
'use strict';
var kawauoChoices = (function() {
  var kOptions = ['lang', 'scale', 'outline', 'pause-unfocused'];
  var kWatched = 'kawauo.watch';  // sessionStorage: the recording the page starts again with
  var menu = null;
  var watched = null;  // the recording the game shows, or null

  // Each of the query's options as the command line says it: ?outline is
  // --outline, ?lang=en --lang=en; the game refuses what it cannot take.
  function queryArguments(query) {
    return kOptions.filter(function(name) { return query.has(name); }).map(function(name) {
      var value = query.get(name);
      return '--' + name + (value === '' ? '' : '=' + value);
    });
  }

  // The page again, with `query`: a new game, its choices read afresh.
  function startAgain(query) {
    var search = query.toString();
    if (search === location.search.replace(/^\?/, '')) location.reload();
    else location.search = search;
  }

  // The recording the page was started again to show, as the game's file
  // /watch/NAME (its bytes as they were), taken once: a reload plays again.
  function takeRecording() {
    var kept = null;
    try {
      kept = JSON.parse(sessionStorage.getItem(kWatched));
      sessionStorage.removeItem(kWatched);
    } catch (error) {}
    if (!kept || typeof kept.name !== 'string' || typeof kept.bytes !== 'string') return null;
    var name = /^[^\/\x00]+$/.test(kept.name) && !/^\.\.?$/.test(kept.name) ? kept.name : 'run.rec';
    var bytes = new Uint8Array(kept.bytes.length);
    for (var i = 0; i < bytes.length; ++i) bytes[i] = kept.bytes.charCodeAt(i);
    return {name: name, path: '/watch/' + name, bytes: bytes};
  }

  // A game's Module (page.js makes it) given the query's options and, but
  // for a script's, the recording to watch.
  function game(module, query) {
    watched = query.has('script') ? null : takeRecording();
    document.getElementById('recording').hidden = watched !== null;  // a run shown is not recorded again
    module.arguments = (watched ? ['--play', watched.path] : []).concat(module.arguments, queryArguments(query));
    module.preRun = module.preRun.concat(function() {
      if (!watched) return;
      module.FS.mkdir('/watch');
      module.FS.writeFile(watched.path, watched.bytes);
    });
    module.kawauoChoices = told;
    return module;
  }

  function say(text) {
    var status = document.getElementById('status');
    status.textContent = text;
  }

  // A recording picked or dropped: kept for the page's next start, bytes as
  // characters 0-255. A script's page plays the recording instead.
  function watch(file) {
    file.arrayBuffer().then(function(buffer) {
      var bytes = new Uint8Array(buffer), text = '';
      for (var i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
      try {
        sessionStorage.setItem(kWatched, JSON.stringify({name: file.name, bytes: text}));
      } catch (error) {
        say(file.name + ' cannot be kept for the page to show (' + error.name + ').');
        return;
      }
      var query = new URLSearchParams(location.search);
      query.delete('script');
      startAgain(query);
    }, function(error) {
      say(file.name + ' cannot be read (' + error.name + ').');
    });
  }

  // The menu's change, saved by the game; the language starts a new game
  // (the title's pictures are read at the start), the rest changes at once.
  // The menu wins over the query from now on.
  function choose(name, value) {
    var saved = Module.ccall('kawauo_choose', 'number', ['string', 'string'], [name, value]) !== 0;
    var query = new URLSearchParams(location.search);
    if (name === 'lang') {
      if (saved) query.delete(name);
      else query.set(name, value);  // the browser keeps nothing: this visit at least
      startAgain(query);
      return;
    }
    query.delete(name);
    var search = query.toString();
    history.replaceState(null, '', location.pathname + (search ? '?' + search : '') + location.hash);
  }

  function element(tag, attributes, children) {
    var made = document.createElement(tag);
    Object.keys(attributes).forEach(function(key) { made.setAttribute(key, attributes[key]); });
    (children || []).forEach(function(child) { made.append(child); });
    return made;
  }

  function option(value, text) { return element('option', {value: value}, [text]); }

  function buildMenu() {
    var lang = element('select', {'data-choice': 'lang', 'aria-label': 'Language'},
                       [option('ja', 'Japanese (日本語)'), option('en', 'English')]);
    var scale = element('select', {'data-choice': 'scale', 'aria-label': 'Scale'},
                        [option('fit', 'scale: fit'), option('integer', 'scale: integer')]);
    var outline = element('input', {type: 'checkbox', 'data-choice': 'outline'});
    var file = element('input', {type: 'file', accept: '.rec,text/plain', hidden: ''});
    var open = element('button', {type: 'button', id: 'watch', title: 'Show a recording (kawauo --record, "Save the run") as kawauo --play does; or drop it on the page'},
                       ['Watch a run…']);
    menu = element('div', {id: 'choices'},
                   [lang, scale, element('label', {}, [outline, ' outline']), open, file]);
    [lang, scale, outline].forEach(function(control) {
      control.disabled = true;  // until the game says what it runs with
      control.addEventListener('change', function() {
        choose(control.dataset.choice, control.type === 'checkbox' ? (control.checked ? 'yes' : 'no') : control.value);
        control.blur();  // the keys belong to the game
        document.getElementById('screen').focus();
      });
    });
    open.addEventListener('click', function() { file.click(); });
    file.addEventListener('change', function() { if (file.files[0]) watch(file.files[0]); });
    // A narrow header has no room for the menu: a button drops it down.
    var toggle = element('button', {type: 'button', id: 'menu-toggle', 'aria-label': 'Menu', 'aria-controls': 'choices',
                                    'aria-expanded': 'false'}, ['☰']);
    toggle.addEventListener('click', function() {
      toggle.setAttribute('aria-expanded', String(document.body.classList.toggle('menu-open')));
      toggle.blur();
    });
    var header = document.querySelector('header');
    header.insertBefore(toggle, document.getElementById('fullscreen'));
    header.insertBefore(menu, document.getElementById('fullscreen'));
  }

  // What the game runs with (library_choices.js); `kept` when the menu's
  // changes are saved (a player's run, not a script's).
  function told(choices) {
    menu.querySelector('[data-choice=lang]').value = choices.lang;
    menu.querySelector('[data-choice=scale]').value = choices.scale;
    menu.querySelector('[data-choice=outline]').checked = choices.outline;
    menu.querySelectorAll('[data-choice]').forEach(function(control) { control.disabled = !choices.kept; });
  }

  buildMenu();
  document.addEventListener('dragover', function(event) {
    if (!event.dataTransfer.types.includes('Files')) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
  });
  document.addEventListener('drop', function(event) {
    if (!event.dataTransfer.files.length) return;
    event.preventDefault();
    watch(event.dataTransfer.files[0]);
  });

  return {
    game: game,
    watching: function() { return watched && watched.name; },
    startAgain: startAgain,
  };
})();
