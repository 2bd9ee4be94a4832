// The page's service worker: keeps this version of the folder in a cache of
// its own and serves the page's files from it, so that after a first visit
// the game starts with the network off. A new version (another `cache`,
// written by the build with the version and a digest of the files) fills its
// own cache whole, each file checked against its size and digest, then takes over and
// drops the caches of versions before it; anything else (a ?script= file)
// goes to the network as without it.
'use strict';
// Written by the build (bundle.cmake): the cache's name, and each file's size in bytes and SHA-256 digest.
var bundle = /*@KAWAUO_BUNDLE@*/ {cache: '', files: {}};
var scope = new URL(self.registration.scope);
// Caches of this folder only: another copy of the game on the same site keeps its own.
var prefix = 'kawauo ' + scope.pathname + ' ';
var cacheName = prefix + bundle.cache;

function hex(buffer) {
  return Array.from(new Uint8Array(buffer), function (byte) {
    return byte.toString(16).padStart(2, '0');
  }).join('');
}

// Resolves when `bytes` are the build's `name`, else rejects saying why.
function check(name, bytes) {
  var expected = bundle.files[name];
  if (expected === null) return Promise.resolve();
  if (bytes.byteLength !== expected[0]) {
    return Promise.reject(new Error(name + ': ' + bytes.byteLength + ' bytes of its ' + expected[0]));
  }
  return crypto.subtle.digest('SHA-256', bytes).then(function (digest) {
    if (hex(digest) !== expected[1]) throw new Error(name + ': not the bytes of this version');
  });
}

function fill(cache) {
  return Promise.all(
    Object.keys(bundle.files).map(function (name) {
      return fetch(name, {cache: 'no-cache'}).then(function (response) {
        if (!response.ok) throw new Error(name + ': ' + response.status);
        return response
          .clone()
          .arrayBuffer()
          .then(function (bytes) {
            return check(name, bytes);
          })
          .then(function () {
            return cache.put(name, response);
          });
      });
    }),
  );
}

self.addEventListener('install', function (event) {
  event.waitUntil(
    caches
      .open(cacheName)
      .then(fill)
      .then(function () {
        return self.skipWaiting();
      })
      .catch(function (error) {
        // Half a version is never served: the cache goes, the old worker stays.
        return caches.delete(cacheName).then(function () {
          throw error;
        });
      }),
  );
});

self.addEventListener('activate', function (event) {
  event.waitUntil(
    caches
      .keys()
      .then(function (names) {
        return Promise.all(
          names
            .filter(function (name) {
              return name.startsWith(prefix) && name !== cacheName;
            })
            .map(function (name) {
              return caches.delete(name);
            }),
        );
      })
      .then(function () {
        return self.clients.claim();
      }),
  );
});

// The folder's own page and files, whatever the query: from the cache.
self.addEventListener('fetch', function (event) {
  var request = event.request;
  var url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return;
  var name = url.pathname.slice(scope.pathname.length) || 'index.html';
  if (!Object.prototype.hasOwnProperty.call(bundle.files, name)) return;
  event.respondWith(
    caches.match(name, {cacheName: cacheName}).then(function (kept) {
      return kept || fetch(request);
    }),
  );
});
