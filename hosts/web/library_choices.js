// The page's side of its choices (web_settings.cpp, web_remembered.cpp): the
// settings text kept in the browser's localStorage, and the choices the game
// runs with, and the query's arguments it cannot take, told to the page
// (choices.js, page.js) through the game (game.js). Linked into kawauo.js with
// --js-library, beside library_kawauo.js.
mergeInto(LibraryManager.library, {
  // A page whose browser refuses it localStorage (a sandbox, a setting) keeps nothing.
  kawauo_web_settings_read__deps: ['malloc'],
  kawauo_web_settings_read: function (name, length) {
    var text = null;
    try {
      text = localStorage.getItem(UTF8ToString(name));
    } catch (error) {
      // refused: nothing kept
    }
    if (text === null) return 0;
    var bytes = new TextEncoder().encode(text);
    var at = _malloc(bytes.length + 1);
    HEAPU8.set(bytes, at);
    HEAPU8[at + bytes.length] = 0;
    HEAP32[length >> 2] = bytes.length;
    return at;
  },

  kawauo_web_settings_write: function (name, text, length) {
    try {
      localStorage.setItem(UTF8ToString(name), new TextDecoder().decode(HEAPU8.slice(text, text + length)));
      return 1;
    } catch (error) {
      return 0;
    }
  },

  kawauo_web_choices: function (lang, scale, outline, kept) {
    var choices = {lang: UTF8ToString(lang), scale: UTF8ToString(scale), outline: !!outline, kept: !!kept};
    Module['kawauo'].tell('choices', choices);
  },

  kawauo_web_refused: function (argument, why) {
    Module['kawauo'].tell('refused', {argument: UTF8ToString(argument), why: UTF8ToString(why).trim()});
  },
});
