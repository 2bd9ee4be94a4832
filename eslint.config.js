// ESLint's rules for the page's JavaScript and its checks (scripts/ci_lint.sh):
// the recommended set, with each file's globals: the page's modules, the
// service worker, emscripten's libraries (linked into the program, where
// the program's own names are in scope) and the node scripts of the checks.
'use strict';
const js = require('@eslint/js');
const globals = require('globals');

module.exports = [
  {ignores: ['build*/', 'node_modules/', 'tests/e2e/web/node_modules/']},
  js.configs.recommended,
  // The page runs under a policy that refuses eval: none in its code either.
  {rules: {'no-eval': 'error', 'no-implied-eval': 'error', 'no-new-func': 'error'}},
  {
    files: ['hosts/web/*.js'],
    languageOptions: {sourceType: 'module', globals: globals.browser},
  },
  {
    files: ['hosts/web/sw.js'],
    languageOptions: {sourceType: 'script', globals: globals.serviceworker},
  },
  {
    files: ['hosts/web/library_*.js'],
    languageOptions: {
      sourceType: 'script',
      globals: {
        ...globals.browser,
        mergeInto: 'readonly',
        LibraryManager: 'readonly',
        Module: 'readonly',
        Asyncify: 'readonly',
        HEAPU8: 'readonly',
        HEAP32: 'readonly',
        HEAPU32: 'readonly',
        UTF8ToString: 'readonly',
        _malloc: 'readonly',
        KawauoWeb: 'readonly',
        KawauoGl: 'readonly',
        KawauoLink: 'readonly',
      },
    },
    // Emscripten's library syntax takes no catch without its binding.
    rules: {'no-unused-vars': ['error', {caughtErrors: 'none'}]},
  },
  {
    files: ['tests/e2e/web/*.js', 'bench/*.js', 'eslint.config.js'],
    languageOptions: {sourceType: 'commonjs', globals: globals.node},
  },
  {
    // What the checks run in the page: the page's globals and the game of the moment.
    files: ['tests/e2e/web/*.js', 'bench/*.js'],
    languageOptions: {globals: {...globals.browser, kawauoGame: 'readonly'}},
  },
];
