// The page's own words in the game's language: Japanese, the game's own,
// or English (?lang=en, the menu). Until the game says which it runs in,
// the page guesses from the query and the settings the page keeps; each
// game's choices then decide (page.js), and the page's elements are said
// again: an element with data-text=KEY takes the text, data-label=KEY its
// aria-label, data-title=KEY its title. A part {ja: '...'} of an English
// text is Japanese and is marked so (lang="ja"), for screen readers and fonts.
//   say(key, ...args): the text of `key` now, a string.
//   language(): 'ja' or 'en'.
//   useLanguage(lang): the page's words in `lang` from now on.
//   fill(element, key): `element` holds the text of `key`, its Japanese parts marked.

// prettier-ignore
const kTexts = {
  ja: {
    loading: '読み込み中…',
    loadingBytes: (arrived, total) => `読み込み中 ${arrived} / ${total} kB…`,
    notLoaded: 'ゲームを読み込めませんでした。',
    answered: (name, answer) => `${name} を読み込めませんでした: サーバーの答えは ${answer} です。`,
    stalled: (name, seconds) => `${name} を読み込めませんでした: ${seconds} 秒間何も届きません。`,
    offline: name => `${name} を読み込めませんでした: ネットワークの答えがありません (オフラインか遮断)。`,
    cutShort: (name, got, size) => `${name} が壊れて届きました: ${size} バイトのうち ${got} バイト。`,
    notThisVersion: name => `${name} が壊れて届きました: この版のファイルと中身が違います。`,
    unpacked: (name, why) => `${name} が壊れて届きました: ${why}`,
    notPrepared: why => `ゲームを用意できませんでした: ${why}`,
    tryAgain: 'もう一度',
    playAgain: 'もう一度遊ぶ',
    gameEnded: 'ゲームが終わりました。',
    gameStopped: code => `ゲームが止まりました (終了コード ${code})。`,
    stoppedBy: why => `ゲームが止まりました: ${why}`,
    cannotRun: why => `kawauo.wasm はここでは動きません: ${why}`,
    showing: [
      ['SPACEでスタート、ESCで終了、Tabでメニューへ。', 'SPACE: スタート'],
      ['矢印で泳ぐ、F1 F2 F3で技、SPACEで一時停止、TABでリタイア。', 'SPACE: 一時停止'],
      ['一時停止中: SPACEで再開、ESCで終了、Tabでメニューへ。', '一時停止中'],
      ['SPACEでタイトルへ、ESCで終了、Tabでメニューへ。', 'SPACE: タイトルへ'],
    ],
    touchShowing: [
      ['絵かスタートをタップ。', 'タップでスタート'],
      ['ボタンで泳いで技を出す。', 'プレイ中'],
      ['一時停止中: 再開をタップ。', '一時停止中'],
      ['絵をタップでタイトルへ。', 'タップでタイトルへ'],
    ],
    clickToPlay: '絵をクリックして遊ぶ。',
    tapToPlay: '絵をタップして遊ぶ。',
    watching: name => `${name} を再生中: ESCでやめる。`,
    watchingShort: '再生中',
    replayingLink: version => `リンクの回 (kawauo ${version} で遊んだもの) を再生中: ESCでやめる。`,
    replayedFromLink: version => `この結果はリンクから再生したものです (kawauo ${version} で遊んだ回)。`,
    replayedShort: 'リンクから再生',
    linkRefused: why => `このリンクの回は再生できません: ${why}`,
    playInstead: '代わりに遊ぶ',
    shareRun: 'この回を共有',
    shareRunHint: 'この回のリンクを共有: 開くと同じ回が再生されます',
    shareTitle: 'kawauo の一回',
    linkCopied: 'この回のリンクをクリップボードにコピーしました。',
    cannotShare: why => `この回のリンクを作れません: ${why}`,
    cannotCopy: why => `リンクをコピーできません (${why})。リンク:`,
    title: 'kawauo',
    saveRun: 'この回を保存',
    saveRunHint: 'この回を記録として保存: kawauo --play か kawauo-sim で再生できます',
    fullScreen: '全画面',
    fullScreenHint: '全画面 (Alt+Enter)',
    menu: 'メニュー',
    language: '言語',
    scale: '拡大',
    scaleFit: '拡大: 画面に合わせる',
    scaleInteger: '拡大: 整数倍',
    outline: '文字のふち',
    watchRun: '記録を見る…',
    watchRunHint: '記録 (kawauo --record、「この回を保存」) を kawauo --play のように再生; ページに落としても見られます',
    endGame: 'ゲームを終える…',
    stopWatching: '再生をやめる',
    endAsk: 'ゲームを終えますか？',
    endAskText: 'この回はここで終わります。「この回を保存」で記録を残せます。',
    endYes: '終える',
    endNo: '続ける',
    cannotKeep: (name, why) => `${name} をページに残せません (${why})。`,
    cannotRead: (name, why) => `${name} を読めません (${why})。`,
    ignored: (option, why) => `アドレスの ${option} は使えないので無視しました (${why})。`,
    ok: 'OK',
    theGame: 'ゲームの画面',
    swim: '泳ぐ',
    moves: '技',
    keys: {UP: '上', LEFT: '左', RIGHT: '右', DOWN: '下',
      F1: '魚の底力', F2: '食する魚', F3: '魚の気合い', TAB: 'リタイア', ESCAPE: 'ゲーム終了'},
    space: ['スタート', '一時停止', '再開', 'タイトルへ'],
    hold: '長押し',
    keysHeading: 'キー',
    keysTable: [
      ['SPACE', 'タイトルでスタート、一時停止と再開、結果からタイトルへ'],
      ['矢印、WASD、テンキー 8 4 6 2', '泳ぐ'],
      ['F1 (か 1)', '魚の底力: 水質汚染が減り、体力と力強さが少し減る'],
      ['F2 (か 2)', '食する魚: 体力が増え、水質汚染も増える'],
      ['F3 (か 3)', '魚の気合い: 力強さが増え、水質汚染も増える'],
      ['TAB', 'リタイア'],
      ['ESC', 'ゲーム終了'],
      ['Alt+Enter', '全画面と元に戻す'],
      ['Tab, Shift+Tab', 'タイトル、一時停止中、結果ではページのメニューとボタンへ (プレイ中のTABはリタイア)'],
    ],
    keysTouch: 'タッチ画面ではボタンが絵の横か下にあります。片方の親指で方向を押さえたまま、もう片方で技を出せます。' +
      'タイトルと結果では絵をタップするとSPACEと同じです。リタイアはボタンがいっぱいになるまで長押し、' +
      'ゲームを終えるのはメニューから。',
    keysPad: 'ゲームパッドも使えます: 十字キーか左スティックで泳ぐ、AかStartでSPACE、XでF1、YでF2、BでF3、BackでTAB、GuideでESC。',
  },
  en: {
    loading: 'Loading…',
    loadingBytes: (arrived, total) => `Loading ${arrived} of ${total} kB…`,
    notLoaded: 'The game could not be loaded.',
    answered: (name, answer) => `${name} could not be loaded: the server answered ${answer}.`,
    stalled: (name, seconds) => `${name} could not be loaded: nothing arrived for ${seconds} s.`,
    offline: name => `${name} could not be loaded: the network gave no answer (offline or blocked).`,
    cutShort: (name, got, size) => `${name} arrived damaged: ${got} bytes of its ${size}.`,
    notThisVersion: name => `${name} arrived damaged: its bytes are not this version's.`,
    unpacked: (name, why) => `${name} arrived damaged: ${why}`,
    notPrepared: why => `The game could not be prepared: ${why}`,
    tryAgain: 'Try again',
    playAgain: 'Play again',
    gameEnded: 'The game has ended.',
    gameStopped: code => `The game stopped (status ${code}).`,
    stoppedBy: why => `The game stopped: ${why}`,
    cannotRun: why => `kawauo.wasm cannot run here: ${why}`,
    showing: [
      ['SPACE to start, ESC to quit, Tab to the menu.', 'SPACE: start · ESC: quit'],
      ['Arrows swim, F1 F2 F3 moves, SPACE pauses, TAB retires.', 'F1–F3 moves · SPACE: pause'],
      ['Paused: SPACE to go on, ESC to quit, Tab to the menu.', 'Paused · SPACE: go on'],
      ['SPACE for the title, ESC to quit, Tab to the menu.', 'SPACE: title · ESC: quit'],
    ],
    touchShowing: [
      ['Tap the picture or Start.', 'Tap to start'],
      ['The buttons swim and make F1 F2 F3 moves.', 'Playing'],
      ['Paused: tap Go on.', 'Paused'],
      ['Tap the picture for the title.', 'Tap for the title'],
    ],
    clickToPlay: 'Click the picture to play.',
    tapToPlay: 'Tap the picture to play.',
    watching: name => `Watching ${name}: ESC leaves.`,
    watchingShort: 'Watching: ESC leaves',
    replayingLink: version => `Replaying a run of kawauo ${version} from its link: ESC leaves.`,
    replayedFromLink: version => `Replayed from the link: this result is the replay of a run of kawauo ${version}.`,
    replayedShort: 'Replayed from the link',
    linkRefused: why => `This link's run cannot be replayed: ${why}`,
    playInstead: 'Play instead',
    shareRun: 'Share this run',
    shareRunHint: "Share this run's link: opened, it replays the run",
    shareTitle: 'A run of kawauo',
    linkCopied: "The run's link is copied to the clipboard.",
    cannotShare: why => `The run's link cannot be made: ${why}`,
    cannotCopy: why => `The link could not be copied (${why}). The link:`,
    title: 'kawauo',
    saveRun: 'Save the run',
    saveRunHint: 'This run as a recording: kawauo --play or kawauo-sim replays it',
    fullScreen: 'Full screen',
    fullScreenHint: 'Full screen (Alt+Enter)',
    menu: 'Menu',
    language: 'Language',
    scale: 'Scale',
    scaleFit: 'scale: fit',
    scaleInteger: 'scale: integer',
    outline: 'outline',
    watchRun: 'Watch a run…',
    watchRunHint: 'Show a recording (kawauo --record, "Save the run") as kawauo --play does; or drop it on the page',
    endGame: 'End the game…',
    stopWatching: 'Stop watching',
    endAsk: 'End the game?',
    endAskText: 'This run ends here. "Save the run" keeps it as a recording.',
    endYes: 'End it',
    endNo: 'Go on',
    cannotKeep: (name, why) => `${name} cannot be kept for the page to show (${why}).`,
    cannotRead: (name, why) => `${name} cannot be read (${why}).`,
    ignored: (option, why) => `${option} in the address cannot be used and is ignored (${why}).`,
    ok: 'OK',
    theGame: 'The game',
    swim: 'Swim',
    moves: 'Moves',
    keys: {UP: 'up', LEFT: 'left', RIGHT: 'right', DOWN: 'down',
      F1: 'Hidden power', F2: 'Eat a fish', F3: 'Fighting spirit', TAB: 'Retire', ESCAPE: 'Quit'},
    space: ['Start', 'Pause', 'Go on', 'Title'],
    hold: 'hold',
    keysHeading: 'Keys',
    keysTable: [
      ['SPACE', 'start a run on the title; pause and resume; leave the result screen'],
      ['arrows, WASD, keypad 8 4 6 2', 'swim'],
      ['F1 (or 1)', [{ja: '魚の底力'}, ' (sokodikara, hidden power): less pollution, at a cost in stamina and strength']],
      ['F2 (or 2)', [{ja: '食する魚'}, ' (tomogui, eat a fish): more stamina, more pollution']],
      ['F3 (or 3)', [{ja: '魚の気合い'}, ' (fait, fighting spirit): more strength, more pollution']],
      ['TAB', 'retire'],
      ['ESC', 'quit'],
      ['Alt+Enter', 'full screen or back'],
      ['Tab, Shift+Tab', "on the title, paused or on the result: to the page's menu and buttons (in play TAB retires)"],
    ],
    keysTouch: 'On a touch screen the same keys are buttons beside or under the picture: hold a direction with one ' +
      'thumb and press a move with the other. On the title and the result a tap on the picture is SPACE; to retire, ' +
      'hold Retire until it fills; the game is ended from the menu.',
    keysPad: 'A gamepad works too: d-pad or left stick to swim, A or Start for SPACE, X for F1, Y for F2, ' +
      'B for F3, Back for TAB, Guide for ESC.',
  },
};

let current = 'ja';

// The language the page starts in: the query's, else the one the page's
// settings keep (their `lang =` line), else Japanese, the game's default.
function guessed() {
  const asked = new URLSearchParams(location.search).get('lang');
  if (asked in kTexts) return asked;
  let kept = null;
  try {
    kept = localStorage.getItem('kawauo.settings');
  } catch {
    // refused: nothing kept
  }
  const line = /^[ \t]*lang[ \t]*=[ \t]*(ja|en)[ \t]*$/m.exec(kept || '');
  return line ? line[1] : 'ja';
}

export function language() {
  return current;
}

export function say(key, ...args) {
  const text = kTexts[current][key];
  return typeof text === 'function' ? text(...args) : text;
}

// `element` holds `text` (a string, or parts of which {ja} are Japanese).
function put(element, text) {
  if (!Array.isArray(text)) {
    element.textContent = text;
    return;
  }
  element.replaceChildren(
    ...text.map(part => {
      if (typeof part === 'string') return part;
      const span = document.createElement('span');
      span.lang = 'ja';
      span.textContent = part.ja;
      return span;
    }),
  );
}

export function fill(element, key) {
  put(element, say(key));
}

// The keys table, row by row.
function fillTable(table) {
  table.replaceChildren(
    ...say('keysTable').map(([keys, what]) => {
      const row = document.createElement('tr');
      const th = document.createElement('th');
      const td = document.createElement('td');
      th.scope = 'row';
      put(th, keys);
      put(td, what);
      row.append(th, td);
      return row;
    }),
  );
}

export function useLanguage(lang) {
  current = lang in kTexts ? lang : 'ja';
  document.documentElement.lang = current;
  for (const element of document.querySelectorAll('[data-text]')) fill(element, element.dataset.text);
  for (const element of document.querySelectorAll('[data-label]')) {
    element.setAttribute('aria-label', say(element.dataset.label));
  }
  for (const element of document.querySelectorAll('[data-title]')) element.title = say(element.dataset.title);
  for (const element of document.querySelectorAll('[data-key-name]')) {
    element.textContent = kTexts[current].keys[element.dataset.keyName];
  }
  const table = document.querySelector('#keys table');
  if (table) fillTable(table);
  document.dispatchEvent(new Event('kawauo-language'));
}

useLanguage(guessed());
