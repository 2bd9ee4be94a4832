// One game on the page: an instance of the program (kawauo.js) and the one
// object that the program's side in the page (library_kawauo.js,
// library_choices.js) and the page's modules share about it. Each game is a
// new Game and a new instance, its memory as fresh as a new process's.
// What the program tells the page arrives as events on the game:
//   'scale'      detail 'fit' | 'integer': the scale the game runs with
//   'choices'    detail {lang, scale, outline, kept}: what the menu shows
//   'refused'    detail {argument, why}: an argument it left out, and why
//   'messagebox' detail {caption, text, done}: a box to show; done() is its OK
//   'note'       detail text: a short note to show a few seconds ('' when its
//                time is up)
//   'firstframe' the first picture is on the canvas
//   'fontwanted' it waits for the font, to draw its first text
//   'ended'      detail {status, why, failed}: the game is over; why is '' or
//                a reason; failed when it did not end by itself (an abort, an
//                exception, a file it needed) but was stopped
// What the page asks of the program are its methods (recording, link,
// version, showing, choose, read). A later module (a share button, a page of its own) takes a
// game the same way: it listens to the game it is handed and calls it.
import {say} from './texts.js';

export class Game extends EventTarget {
  // `canvas`: where it draws; `args`: its command line; `files`: {path,
  // contents} put in its file system before it starts, `contents` a promise
  // of a string or bytes (a rejection ends the game, not started, with
  // status 2 and its message); `font`: a promise of the baked font's tables
  // {glyphs, cp932}, for its first text; `stats`: frame times kept
  // (?stats); `anyWebGL`: WebGL even on a processor's rasteriser (?webgl).
  constructor({canvas, font, args = [], files = [], stats = false, anyWebGL = false}) {
    super();
    this.canvas = canvas;
    this.font = font;
    this.args = args;
    this.files = files;
    // Awaited when the game is about to read them; caught here too, so that
    // a failure is not taken for an unhandled one before then.
    this.contents = Promise.all(files.map(file => file.contents));
    this.contents.catch(() => {});
    this.anyWebGL = anyWebGL;
    this.stats = stats ? {work: [], shown: []} : null;
    this.shots = Object.create(null); // any name a script gives, __proto__ too
    this.frames = 0; // pictures shown so far
    this.firstShown = undefined; // when the first was
    this.drawnBy = ''; // 'webgl' or '2d', once the canvas is opened
    this.factor = 1; // the whole factor the page asks the picture drawn at
    this.status = undefined; // the exit status, once ended
    this.module = null; // the program's instance (emscripten's Module)
    this.said = ''; // what the game said last: a box or a line on standard error
    this.codec = null; // the deflate of a run's link, pako, once the page has loaded it (links.js)
    // Ends the program's listeners on the page when the game ends.
    this.listening = new AbortController();
  }

  get ended() {
    return this.status !== undefined;
  }

  // Starts an instance of `program` (the loader's: factory, pictures, wasm, data).
  start(program) {
    const module = {
      arguments: this.args,
      kawauo: this,
      preRun: [() => this.writeFiles()],
      printErr: line => {
        console.warn(line);
        this.said = line;
      },
      onAbort: what => this.fail(1, say('stoppedBy', what)),
      instantiateWasm: (imports, receive) => {
        WebAssembly.instantiate(program.wasm, imports).then(
          instance => receive(instance, program.wasm),
          error => this.fail(1, say('cannotRun', error)),
        );
        return {};
      },
      getPreloadedPackage: () => program.data,
    };
    this.module = module;
    program.pictures(module);
    // An abort rejects it too, and is told by onAbort.
    Promise.resolve(program.factory(module)).catch(() => {});
  }

  // The files the game reads, in its file system before main: the game waits for them.
  writeFiles() {
    const module = this.module;
    if (this.files.length === 0) return;
    module.addRunDependency('kawauo files');
    this.contents.then(
      contents => {
        this.files.forEach((file, i) => {
          module.FS.mkdirTree(file.path.replace(/\/[^/]*$/, '') || '/');
          module.FS.writeFile(file.path, contents[i]);
        });
        module.removeRunDependency('kawauo files');
      },
      error => {
        console.error(String(error.message || error));
        this.fail(2, String(error.message || error));
      },
    );
  }

  // The program's end, with its exit status.
  exit(status) {
    this.over({status, why: status !== 0 ? this.said : '', failed: false});
  }

  // The game stopped from outside, with `status` and why.
  fail(status, why) {
    this.over({status, why, failed: true});
  }

  // Once only: what ends first is what the page says.
  over(detail) {
    if (this.ended) return;
    this.status = detail.status;
    this.listening.abort();
    this.dispatchEvent(new CustomEvent('ended', {detail}));
  }

  // Called by the program each time a picture is on the canvas.
  shown(now, work) {
    ++this.frames;
    if (this.stats && this.stats.work.length < 100000) {
      this.stats.work.push(work);
      this.stats.shown.push(now);
    }
    if (this.firstShown !== undefined) return;
    this.firstShown = now;
    this.dispatchEvent(new Event('firstframe'));
  }

  // A box the game shows and waits on: resolved with its OK.
  messageBox(caption, text) {
    this.said = `${caption}: ${text}`;
    return new Promise(done => {
      const event = new CustomEvent('messagebox', {detail: {caption, text, done}, cancelable: true});
      // Nobody to show it (preventDefault says it is shown): the game goes on.
      if (this.dispatchEvent(event)) done();
    });
  }

  // The font, when the program first wants it: it waits until it has come.
  wantFont() {
    this.dispatchEvent(new Event('fontwanted'));
    return this.font;
  }

  // What the program tells the page of its choices and its scale.
  tell(type, detail) {
    this.dispatchEvent(new CustomEvent(type, {detail}));
  }

  // The run so far, as the recording kawauo --record writes.
  recording() {
    return this.module.UTF8ToString(this.module._kawauo_recording());
  }

  // The run so far as its link ('' when it cannot be made: why is in said);
  // the page's codec must be loaded first (links.js).
  link() {
    return this.module.UTF8ToString(this.module._kawauo_link());
  }

  // The game's version, which made every run it replays.
  version() {
    return this.module.UTF8ToString(this.module._kawauo_version());
  }

  // What the game shows now, as sim::Showing numbers it; null before its first picture.
  showing() {
    return this.firstShown === undefined || this.ended ? null : this.module._kawauo_showing();
  }

  // A choice of the menu, saved by the game: whether it was kept.
  choose(name, value) {
    return this.module.ccall('kawauo_choose', 'number', ['string', 'string'], [name, value]) !== 0;
  }

  // The file `path` of the game's files brought up to date ('' when there is none), e.g. ?trace's.
  read(path) {
    this.module._fflush(0);
    return this.module.FS.analyzePath(path).exists ? this.module.FS.readFile(path, {encoding: 'utf8'}) : '';
  }
}
