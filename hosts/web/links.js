// A run's link on the page: the address's #run= played as "Watch a run"
// plays a recording, the header saying which version made the run and, on
// its result screen, that it was replayed from the link; a link the game
// cannot replay refused with what is wrong, the page offering to play
// instead. The link is read by the program (player/run_link, as on the
// desktops) with the page's deflate, Debian's pako, loaded only when a link
// is opened or made (library_link.js).
//   new Links(): takes the address's link, once: a reload or "Play again"
//     plays; a link put in the address later starts the page again.
//   links.nextGame(shown): {args, files} of a new game: the address's link to
//     replay, else `shown` (choices.nextGame()'s), whose recording opened on
//     the page may be a link too: the codec is loaded first for either.
//   links.follow(game): `game` replays it.
//   links.said(showing): the header's pair while a link's run is shown, else null.
//   links.refused(game): what is wrong with the link `game` could not replay, else null.
//   linkOf(game): a promise of the link of `game`'s run so far ('' when it
//     cannot be made, why said by the game).
import {say} from './texts.js';

const kMark = '#run=';
const kPath = '/run-link'; // the game's file holding the link, named in its messages
const kResult = 3; // sim::Showing's result screen

let codec = null; // pako, once loaded

// pako's module, stored gzip-compressed as the program is: unpacked by the
// browser and run from its bytes (a blob:, as the page's policy allows).
async function loadCodec() {
  const response = await fetch('pako.js');
  if (!response.ok) throw new Error(`pako.js: ${response.status}`);
  const source = await new Response(response.body.pipeThrough(new DecompressionStream('gzip'))).blob();
  const url = URL.createObjectURL(new Blob([source], {type: 'text/javascript'}));
  try {
    return (await import(url)).default;
  } finally {
    URL.revokeObjectURL(url);
  }
}

// The page's deflate, loaded once, handed to `game`.
async function useCodec(game) {
  codec ??= await loadCodec();
  game.codec = codec;
}

export async function linkOf(game) {
  await useCodec(game);
  return game.link();
}

// The address's link, taken from it so that the next game plays; null when it holds none.
function takeLink() {
  if (!location.hash.startsWith(kMark)) return null;
  const link = location.href;
  history.replaceState(null, '', location.pathname + location.search);
  return link;
}

export class Links {
  constructor() {
    // A link pasted into the address of the open page changes only its
    // hash: the page starts again to play it.
    window.addEventListener('hashchange', () => {
      if (location.hash.startsWith(kMark)) location.reload();
    });
    this.link = takeLink(); // until a game takes it
    this.game = null; // the game replaying a link
    this.next = null; // the game of the files nextGame() gave
    this.version = '';
  }

  nextGame(shown) {
    const link = this.link;
    this.link = null;
    this.game = null;
    this.version = '';
    if (link) {
      const args = shown.args.filter(arg => !arg.startsWith('--play='));
      return {args: [...args, `--play=${kPath}`], files: [{path: kPath, contents: this.withCodec(link)}]};
    }
    if (!shown.args.some(arg => arg.startsWith('--play='))) return shown;
    return {args: shown.args, files: shown.files.map(file => ({...file, contents: this.withCodec(file.contents)}))};
  }

  // `contents`, once the codec is there when they hold a link (as the
  // program tells one: "#run=", or a web address, near the start). The game
  // waits for its files; follow(), in the same turn as nextGame(), has
  // named it by then.
  async withCodec(contents) {
    const made = await contents;
    const start = typeof made === 'string' ? made.slice(0, 4096) : new TextDecoder().decode(made.subarray(0, 4096));
    if (/#run=|^\s*https?:\/\//.test(start)) await useCodec(this.next);
    return made;
  }

  follow(game) {
    this.next = game;
    if (!game.args.includes(`--play=${kPath}`)) return;
    this.game = game;
    game.addEventListener('firstframe', () => {
      this.version = game.version();
    });
  }

  watching() {
    return this.game !== null;
  }

  said(showing) {
    if (!this.game || this.game.ended || !this.version) return null;
    if (showing === kResult) return [say('replayedFromLink', this.version), say('replayedShort')];
    return [say('replayingLink', this.version), say('watchingShort')];
  }

  refused(game) {
    if (game !== this.game || game.firstShown !== undefined || game.status === 0) return null;
    return game.said
      .replace(/^kawauo: /, '')
      .replace(`${kPath}: `, '')
      .replace(/^its link: /, '');
  }
}
