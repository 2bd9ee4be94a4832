// The page's loading and its games: the program (kawauo.js, kawauo.wasm) and
// the pictures (kawauo-data.js, kawauo.data) fetched with their bytes on a
// progress bar and checked against the sizes the build wrote below; a file
// that cannot be had is named on the page with what went wrong and "Try
// again", which fetches what is missing. Each game is a new instance of the
// program, its memory as fresh as a new process's, so that "Play again"
// starts anew without a reload. Once a game has started, the service worker
// (sw.js) keeps this version of the folder for offline play.
//   kawauoLoader.start(settings): `settings()` gives a game's Module object.
//   kawauoLoader.ended(message): the game is over; offers "Play again".
'use strict';
var kawauoLoader = (function() {
  // Written by the build (bundle.cmake): the version, and each file's size in bytes.
  var bundle = /*@KAWAUO_BUNDLE@*/{cache: '', files: {}};
  var kFiles = ['kawauo.js', 'kawauo-data.js', 'kawauo.wasm', 'kawauo.data'];
  // A download that brings nothing for this long is given up: a stalled
  // connection ends neither in data nor in an error of its own.
  var kStallMilliseconds = 20000;
  var kWorkerDelayMilliseconds = 2000;

  var panel = document.getElementById('loader');
  var text = document.getElementById('loader-text');
  var bar = document.getElementById('loader-bar');
  var again = document.getElementById('loader-again');
  var got = Object.create(null);      // file name: its bytes, checked
  var pending = Object.create(null);  // file name: its download under way
  var counted = Object.create(null);  // file name: bytes arrived so far
  var compiling = null;               // the program compiled as kawauo.wasm comes
  var program = null;                 // what every game is made from, once all is here
  var settings = null;
  var first = null;  // the first game's Module, there from the start for whoever looks
  var failed = false;
  var workerAsked = false;

  function say(message, button) {
    panel.hidden = false;
    text.textContent = message;
    bar.hidden = button !== undefined;
    again.hidden = button === undefined;
    if (button !== undefined) {
      again.textContent = button;
      again.focus();
    }
  }

  function showProgress() {
    var total = 0, arrived = 0;
    kFiles.forEach(function(name) {
      total += bundle.files[name] || 0;
      arrived += got[name] ? got[name].byteLength : counted[name] || 0;
    });
    bar.max = total;
    bar.value = Math.min(arrived, total);
    if (!failed) say('Loading ' + Math.round(arrived / 1024) + ' of ' + Math.round(total / 1024) + ' kB…');
  }

  function problem(name, what) {
    var error = new Error(name + ' ' + what);
    error.file = name;
    return error;
  }

  // Resolves to the file's bytes, or rejects naming the file and why.
  // Again after a failure, the browser's copy is checked with the server.
  function download(name, again) {
    var controller = new AbortController();
    var stalled = false;
    var timer = 0;
    function watch() {
      clearTimeout(timer);
      timer = setTimeout(function() {
        stalled = true;
        controller.abort();
      }, kStallMilliseconds);
    }
    function read(reader, chunks) {
      return reader.read().then(function(chunk) {
        if (chunk.done) return chunks;
        watch();
        chunks.push(chunk.value);
        counted[name] += chunk.value.byteLength;
        showProgress();
        return read(reader, chunks);
      });
    }
    counted[name] = 0;
    watch();
    return fetch(name, {signal: controller.signal, cache: again ? 'no-cache' : 'default'}).then(function(response) {
      if (!response.ok) {
        throw problem(name, 'could not be loaded: the server answered ' +
                      (response.status + ' ' + response.statusText).trim() + '.');
      }
      var body = response.body;
      if (name === 'kawauo.wasm' && WebAssembly.compileStreaming) {
        var branches = body.tee();
        body = branches[0];
        compiling = WebAssembly.compileStreaming(
            new Response(branches[1], {headers: {'Content-Type': 'application/wasm'}}));
        compiling.catch(function() {});  // said by prepare, when it comes to that
      }
      return read(body.getReader(), []);
    }).catch(function(error) {
      if (error.file) throw error;
      throw problem(name, stalled ? 'could not be loaded: nothing arrived for ' + kStallMilliseconds / 1000 + ' s.'
                                  : 'could not be loaded: the network gave no answer (offline or blocked).');
    }).then(function(chunks) {
      var bytes = new Uint8Array(counted[name]);
      var at = 0;
      chunks.forEach(function(chunk) {
        bytes.set(chunk, at);
        at += chunk.byteLength;
      });
      var size = bundle.files[name];
      if (size !== undefined && bytes.byteLength !== size) {
        throw problem(name, 'arrived damaged: ' + bytes.byteLength + ' bytes of its ' + size + '.');
      }
      return bytes.buffer;
    }).finally(function() {
      clearTimeout(timer);
    });
  }

  // What a game is made from: the program compiled, the scripts read.
  function prepare() {
    var source = new TextDecoder();
    function script(name, parameters, body) {
      try {
        return Function.apply(null, parameters.concat(body + '\n//# sourceURL=' + name));
      } catch (error) {
        throw problem(name, 'arrived damaged: ' + error + '.');
      }
    }
    var factory = script('kawauo.js', [], source.decode(got['kawauo.js']) + '\nreturn createKawauo;')();
    var pictures = script('kawauo-data.js', ['Module'], source.decode(got['kawauo-data.js']));
    return (compiling || WebAssembly.compile(got['kawauo.wasm'])).catch(function(error) {
      throw problem('kawauo.wasm', 'arrived damaged: ' + error + '.');
    }).then(function(wasm) {
      return {factory: factory, pictures: pictures, wasm: wasm, data: got['kawauo.data']};
    });
  }

  function load(again) {
    failed = false;
    document.getElementById('status').textContent = 'Loading…';
    showProgress();
    var downloads = kFiles.filter(function(name) { return !got[name]; }).map(function(name) {
      if (!pending[name]) {
        pending[name] = download(name, again).then(function(bytes) {
          got[name] = bytes;
        }).finally(function() {
          delete pending[name];
        });
      }
      return pending[name];
    });
    // The first failure is told at once; the other files go on arriving.
    Promise.all(downloads).then(prepare).then(function(made) {
      program = made;
      play();
    }).catch(function(error) {
      if (error.file) delete got[error.file];  // found damaged after it came: fetched again
      if (error.file === 'kawauo.wasm') compiling = null;
      fail(error.file ? error.message : 'The game could not be prepared: ' + error);
    });
  }

  function fail(message) {
    if (failed) return;
    failed = true;
    console.error(message);
    document.getElementById('status').textContent = 'The game could not be loaded.';
    say(message, 'Try again');
  }

  function play() {
    panel.hidden = true;
    var module = first || settings();
    first = null;
    module.instantiateWasm = function(imports, receive) {
      WebAssembly.instantiate(program.wasm, imports).then(function(instance) {
        receive(instance, program.wasm);
      }, function(error) {
        module.kawauoEnded(1, 'kawauo.wasm cannot run here: ' + error + '.');
      });
      return {};
    };
    module.getPreloadedPackage = function() { return program.data; };
    var initialized = module.onRuntimeInitialized;
    module.onRuntimeInitialized = function() {
      keepForOffline();
      if (initialized) initialized();
    };
    window.Module = module;
    try {
      program.pictures(module);
      // An abort rejects it too, and is told by the settings' onAbort.
      Promise.resolve(program.factory(module)).catch(function() {});
    } catch (error) {
      module.kawauoEnded(1, 'The game could not start: ' + error + '.');
    }
  }

  // The folder of this version kept for the next visit, offline too; asked
  // for a while after a game has started, so that filling the cache never
  // competes with the first download nor with the game's first frames.
  function keepForOffline() {
    if (workerAsked || !('serviceWorker' in navigator) || !window.isSecureContext) return;
    workerAsked = true;
    setTimeout(function() {
      navigator.serviceWorker.register('sw.js', {updateViaCache: 'none'}).catch(function(error) {
        console.warn('kawauo: no offline play: ' + error);
      });
    }, kWorkerDelayMilliseconds);
  }

  again.addEventListener('click', function() {
    again.blur();
    if (program) play();
    else load(true);
  });

  return {
    start: function(gameSettings) {
      settings = gameSettings;
      window.Module = first = settings();
      load();
    },
    ended: function(message) {
      say(message, 'Play again');
    },
  };
})();
