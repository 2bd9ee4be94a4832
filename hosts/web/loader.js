// The page's loading: the program (kawauo.js, kawauo.wasm) and the pictures
// (kawauo-data.js, kawauo.data) fetched with their bytes on a progress bar
// and checked against the sizes the build wrote below, the scripts then run
// as modules from those very bytes (no eval: the page runs under a
// Content-Security-Policy without it); a file that cannot be had is named on
// the page with what went wrong and "Try again", which fetches what is
// missing. Once a game has started, the service worker (sw.js) keeps this
// version of the folder for offline play.
//   new Loader(play): play(program) starts a game once all is here, and
//     again with each "Try again" or "Play again" after that.
//   loader.load(): fetches what is missing and plays.
//   loader.say(message, button): the message, and a button that plays again.
//   loader.keepForOffline(): asks for the service worker, once.

// Written by the build (bundle.cmake): the version, and each file's size in bytes.
const bundle = /*@KAWAUO_BUNDLE@*/ {cache: '', files: {}};
const kFiles = ['kawauo.js', 'kawauo-data.js', 'kawauo.wasm', 'kawauo.data'];
// A download that brings nothing for this long is given up: a stalled
// connection ends neither in data nor in an error of its own.
const kStallMilliseconds = 20000;
const kWorkerDelayMilliseconds = 2000;

// An error that names the file it is about, for the page to say.
function problem(name, what) {
  const error = new Error(`${name} ${what}`);
  error.file = name;
  return error;
}

// The bytes of `chunks` in one buffer of `length`.
function joined(chunks, length) {
  const bytes = new Uint8Array(length);
  let at = 0;
  for (const chunk of chunks) {
    bytes.set(chunk, at);
    at += chunk.byteLength;
  }
  return bytes.buffer;
}

// The module whose source is `bytes`, run from them as they were checked;
// its default export.
async function importBytes(name, bytes) {
  const url = URL.createObjectURL(new Blob([bytes], {type: 'text/javascript'}));
  try {
    return (await import(url)).default;
  } catch (error) {
    throw problem(name, `arrived damaged: ${error}.`);
  } finally {
    URL.revokeObjectURL(url);
  }
}

export class Loader {
  constructor(play) {
    this.play = play;
    this.panel = document.getElementById('loader');
    this.text = document.getElementById('loader-text');
    this.bar = document.getElementById('loader-bar');
    this.again = document.getElementById('loader-again');
    this.got = Object.create(null); // file name: its bytes, checked
    this.pending = Object.create(null); // file name: its download under way
    this.counted = Object.create(null); // file name: bytes arrived so far
    this.compiling = null; // the program compiled as kawauo.wasm comes
    this.program = null; // what every game is made from, once all is here
    this.failed = false;
    this.workerAsked = false;
    this.again.addEventListener('click', () => {
      this.again.blur();
      if (this.program) this.start();
      else this.load(true);
    });
  }

  say(message, button) {
    this.panel.hidden = false;
    this.text.textContent = message;
    this.bar.hidden = button !== undefined;
    this.again.hidden = button === undefined;
    if (button !== undefined) {
      this.again.textContent = button;
      this.again.focus();
    }
  }

  showProgress() {
    let total = 0;
    let arrived = 0;
    for (const name of kFiles) {
      total += bundle.files[name] || 0;
      arrived += this.got[name] ? this.got[name].byteLength : this.counted[name] || 0;
    }
    this.bar.max = total;
    this.bar.value = Math.min(arrived, total);
    if (!this.failed) this.say(`Loading ${Math.round(arrived / 1024)} of ${Math.round(total / 1024)} kB…`);
  }

  // Resolves to the file's bytes, or rejects naming the file and why.
  // Again after a failure, the browser's copy is checked with the server.
  async download(name, again) {
    const controller = new AbortController();
    let stalled = false;
    let timer = 0;
    const watch = () => {
      clearTimeout(timer);
      timer = setTimeout(() => {
        stalled = true;
        controller.abort();
      }, kStallMilliseconds);
    };
    this.counted[name] = 0;
    watch();
    const chunks = [];
    try {
      const response = await fetch(name, {signal: controller.signal, cache: again ? 'no-cache' : 'default'});
      if (!response.ok) {
        const answer = `${response.status} ${response.statusText}`.trim();
        throw problem(name, `could not be loaded: the server answered ${answer}.`);
      }
      let body = response.body;
      if (name === 'kawauo.wasm' && WebAssembly.compileStreaming) {
        const [mine, compiler] = body.tee();
        body = mine;
        const wasm = new Response(compiler, {headers: {'Content-Type': 'application/wasm'}});
        this.compiling = WebAssembly.compileStreaming(wasm);
        this.compiling.catch(() => {}); // said by prepare, when it comes to that
      }
      const reader = body.getReader();
      for (let chunk = await reader.read(); !chunk.done; chunk = await reader.read()) {
        watch();
        chunks.push(chunk.value);
        this.counted[name] += chunk.value.byteLength;
        this.showProgress();
      }
    } catch (error) {
      if (error.file) throw error;
      const why = stalled
        ? `nothing arrived for ${kStallMilliseconds / 1000} s.`
        : 'the network gave no answer (offline or blocked).';
      throw problem(name, `could not be loaded: ${why}`);
    } finally {
      clearTimeout(timer);
    }
    const size = bundle.files[name];
    if (size !== undefined && this.counted[name] !== size) {
      throw problem(name, `arrived damaged: ${this.counted[name]} bytes of its ${size}.`);
    }
    return joined(chunks, this.counted[name]);
  }

  // What a game is made from: the program compiled, the scripts run.
  async prepare() {
    const [factory, pictures] = await Promise.all([
      importBytes('kawauo.js', this.got['kawauo.js']),
      importBytes('kawauo-data.js', this.got['kawauo-data.js']),
    ]);
    let wasm;
    try {
      wasm = await (this.compiling || WebAssembly.compile(this.got['kawauo.wasm']));
    } catch (error) {
      throw problem('kawauo.wasm', `arrived damaged: ${error}.`);
    }
    return {factory, pictures, wasm, data: this.got['kawauo.data']};
  }

  async load(again = false) {
    this.failed = false;
    document.getElementById('status').textContent = 'Loading…';
    this.showProgress();
    const downloads = kFiles
      .filter(name => !this.got[name])
      .map(name => {
        this.pending[name] ??= this.download(name, again)
          .then(bytes => {
            this.got[name] = bytes;
          })
          .finally(() => {
            delete this.pending[name];
          });
        return this.pending[name];
      });
    // The first failure is told at once; the other files go on arriving.
    try {
      await Promise.all(downloads);
      this.program = await this.prepare();
    } catch (error) {
      if (error.file) delete this.got[error.file]; // found damaged after it came: fetched again
      if (error.file === 'kawauo.wasm') this.compiling = null;
      this.fail(error.file ? error.message : `The game could not be prepared: ${error}`);
      return;
    }
    this.start();
  }

  fail(message) {
    if (this.failed) return;
    this.failed = true;
    console.error(message);
    document.getElementById('status').textContent = 'The game could not be loaded.';
    this.say(message, 'Try again');
  }

  start() {
    this.panel.hidden = true;
    this.play(this.program);
  }

  // The folder of this version kept for the next visit, offline too; asked
  // for a while after a game has started, so that filling the cache never
  // competes with the first download nor with the game's first frames.
  keepForOffline() {
    if (this.workerAsked || !('serviceWorker' in navigator) || !window.isSecureContext) return;
    this.workerAsked = true;
    setTimeout(() => {
      navigator.serviceWorker.register('sw.js', {updateViaCache: 'none'}).catch(error => {
        console.warn(`kawauo: no offline play: ${error}`);
      });
    }, kWorkerDelayMilliseconds);
  }
}
