// "Share this run" on the result screen of the player's own run: its link
// (links.js) and a PNG of the result screen through the Web Share API where
// the browser has it, else the link copied to the clipboard and said in the
// share's own notice. Nothing of a run leaves the page but by this button.
//   new Share(): the button in the header, shown on a result screen only.
//   share.follow(game): offers to share `game`'s run.
import {linkOf} from './links.js';
import {say} from './texts.js';

const kResult = 3; // sim::Showing's result screen
const kEveryMilliseconds = 200;
const kNoticeMilliseconds = 6000;

// The picture on the canvas at the game's 640x480, as a PNG file; null when the browser makes none.
function pictureOf(canvas) {
  const copy = document.createElement('canvas');
  copy.width = 640;
  copy.height = 480;
  const context = copy.getContext('2d');
  context.imageSmoothingEnabled = false;
  context.drawImage(canvas, 0, 0, 640, 480);
  return new Promise(resolve => {
    copy.toBlob(blob => resolve(blob && new File([blob], 'kawauo.png', {type: 'image/png'})), 'image/png');
  });
}

// A player's run: not a script's, nor a recording or link replayed.
const playersRun = game => !game.args.some(arg => arg.startsWith('--play') || arg.startsWith('--script'));

export class Share {
  constructor() {
    this.game = null;
    this.button = document.createElement('button');
    Object.assign(this.button, {type: 'button', id: 'share', hidden: true});
    Object.assign(this.button.dataset, {text: 'shareRun', title: 'shareRunHint'});
    this.button.textContent = say('shareRun');
    this.button.title = say('shareRunHint');
    this.button.addEventListener('click', () => this.share());
    document.querySelector('header').insertBefore(this.button, document.getElementById('fullscreen'));
    this.notice = document.createElement('p');
    Object.assign(this.notice, {id: 'share-notice', role: 'status', hidden: true});
    this.notice.addEventListener('click', () => (this.notice.hidden = true));
    document.getElementById('stage').append(this.notice);
    this.noticeTimer = 0;
    setInterval(() => this.offer(), kEveryMilliseconds);
  }

  follow(game) {
    this.game = game;
    this.offer();
  }

  offer() {
    const game = this.game;
    this.button.hidden = !game || game.showing() !== kResult || !playersRun(game);
  }

  // `text` for a few seconds, and beside it `link` to select and copy by hand.
  tell(text, link = '') {
    this.notice.textContent = text;
    if (link) this.notice.append(' ', Object.assign(document.createElement('code'), {textContent: link}));
    this.notice.hidden = false;
    clearTimeout(this.noticeTimer);
    if (!link) this.noticeTimer = setTimeout(() => (this.notice.hidden = true), kNoticeMilliseconds);
  }

  async share() {
    const game = this.game;
    let link;
    try {
      link = await linkOf(game);
    } catch (error) {
      this.tell(say('cannotShare', String(error.message || error))); // pako not to be had (offline)
      return;
    }
    if (!link) {
      this.tell(say('cannotShare', game.said.replace(/^kawauo: /, '')));
      return;
    }
    if (navigator.share) {
      const picture = await pictureOf(game.canvas);
      const shared = {title: say('shareTitle'), url: link, files: picture ? [picture] : []};
      if (!navigator.canShare || !navigator.canShare(shared)) delete shared.files; // the link at least
      try {
        await navigator.share(shared);
        return;
      } catch (error) {
        if (error.name === 'AbortError') return; // the player closed the share sheet
      }
    }
    try {
      await navigator.clipboard.writeText(link);
      this.tell(say('linkCopied'));
    } catch (error) {
      this.tell(say('cannotCopy', error.name), link);
    }
  }
}
