// The page around the game: full screen by button or Alt+Enter, the game's
// message boxes as a modal box, and what the page says when the game ends,
// with why when it failed (loader.js loads the game and offers another, each
// made with the settings below; layout.js places the picture, touch.js is
// the touch controls, showing.js says in the header what the keys do; the
// desktop's options in the query, the menu and the recording watched are
// choices.js's). ?script=FILE runs a kawauo-sim script instead of the
// player's input, FILE a path on the page's own site, its shots kept by name
// in Module.kawauoShots (an object without a prototype); ?trace writes the
// trace of every frame (of a script, as kawauo-sim --trace does) to
// /trace.jsonl of the game's files (Module._fflush(0) brings it up to date);
// ?stats keeps frame times in Module.kawauoStats; ?webgl draws with WebGL
// even where the processor would draw it.
'use strict';
(function() {
  var query = new URLSearchParams(location.search);
  var script = query.get('script');
  var stage = document.getElementById('stage');
  var canvas = document.getElementById('screen');
  var status = document.getElementById('status');

  function toggleFullscreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (stage.requestFullscreen) stage.requestFullscreen().catch(function() {});
  }

  var fullscreenButton = document.getElementById('fullscreen');
  fullscreenButton.hidden = !document.fullscreenEnabled;  // an iPhone's browser, for one
  fullscreenButton.addEventListener('click', function() {
    toggleFullscreen();
    fullscreenButton.blur();  // SPACE belongs to the game
    canvas.focus();
  });
  window.addEventListener('keydown', function(event) {
    if (event.code === 'Enter' && event.altKey) {
      event.preventDefault();
      if (!event.repeat) toggleFullscreen();
    }
  });
  stage.addEventListener('click', function() { canvas.focus(); });

  // The run so far, as the recording kawauo --record writes.
  var recordingButton = document.getElementById('recording');
  recordingButton.addEventListener('click', function() {
    recordingButton.blur();
    var text = Module.UTF8ToString(Module._kawauo_recording());
    var link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([text], {type: 'text/plain'}));
    link.download = 'kawauo-' + new Date().toISOString().replace(/[-:]/g, '').replace('T', '-').slice(0, 15) + '.rec';
    link.click();
    setTimeout(function() { URL.revokeObjectURL(link.href); }, 1000);
    canvas.focus();
  });

  var box = document.getElementById('box');
  function showMessageBox(caption, text, done) {
    document.getElementById('box-caption').textContent = caption;
    document.getElementById('box-text').textContent = text;
    said = caption + ': ' + text;
    box.addEventListener('close', function() {
      canvas.focus();
      done();
    }, {once: true});
    box.showModal();
  }

  // `why`, when given, comes first; a failure without one says what the
  // game said last (its last message box or line on standard error).
  var said = '';
  function ended(code, why) {
    if (!why && code !== 0) why = said;
    status.classList.add('ended');
    status.textContent = (why ? why + ' ' : '') +
                         (code === 0 ? 'The game has ended.' : 'The game stopped (status ' + code + ').');
    document.body.dataset.ended = String(code);
    kawauoLoader.ended(status.textContent);
  }

  // The script's URL when `value` is a path on this site, relative or from
  // its root; else null: nothing with a scheme (http:, data:, blob:,
  // javascript:, ...), nothing naming a host (//host), nothing landing on
  // another origin (/\host). Read as the URL parser reads it: without
  // tabs and line breaks, nor spaces and controls at either end.
  function sameSiteUrl(value) {
    var text = value.replace(/[\t\n\r]/g, '').replace(/^[\x00-\x20]+|[\x00-\x20]+$/g, '');
    if (/^[a-z][a-z0-9+.-]*:/i.test(text) || /^[\/\\]{2}/.test(text)) return null;
    var url = new URL(text, location.href);
    return url.origin === location.origin ? url : null;
  }

  // The script is fetched before the game starts and read from the game's
  // files; one that cannot be had ends the page as a failed start, before
  // the game runs (its run dependency is never met).
  function fetchScript() {
    if (!script) return;
    Module.addRunDependency('script');
    function fail(why) {
      console.error(why);
      ended(2, why);
    }
    var url = sameSiteUrl(script);
    if (!url) {
      fail('?script= takes a path on this site, not ' + JSON.stringify(script) + '.');
      return;
    }
    fetch(url).then(function(response) {
      if (!response.ok) throw new Error(script + ': ' + response.status);
      if (new URL(response.url).origin !== location.origin) throw new Error(script + ': redirected off this site');
      return response.text();
    }).then(function(text) {
      Module.FS.writeFile('/run.sim', text);
      Module.removeRunDependency('script');
    }).catch(function(error) {
      fail(String(error));
    });
  }

  // A new game's settings: the page as before any game, no run yet to save.
  kawauoLoader.start(function() {
    said = '';
    status.classList.remove('ended');
    delete document.body.dataset.ended;
    recordingButton.disabled = true;
    return kawauoChoices.game({
      canvas: canvas,
      arguments: (script ? ['--script', '/run.sim'] : []).concat(query.has('trace') ? ['--trace', '/trace.jsonl'] : []),
      preRun: [fetchScript],
      kawauoShots: Object.create(null),  // any name a script gives, __proto__ too
      kawauoStats: query.has('stats') ? {work: [], shown: []} : null,
      kawauoMessageBox: showMessageBox,
      kawauoEnded: ended,
      kawauoAnyWebGL: query.has('webgl'),
      kawauoLayout: function() { kawauoLayout(); },
      printErr: function(line) {
        console.warn(line);
        said = line;
      },
      onRuntimeInitialized: function() {
        recordingButton.disabled = false;
        canvas.focus();
      },
      onAbort: function(what) {
        console.error(String(what));
        ended(1, 'The game stopped: ' + what + '.');
      },
    }, query);
  });
})();
