// The page's service worker: after one visit the game plays offline, and it never holds on to
// an old build. Every file is asked of the server first (revalidating the browser's cache);
// the copy kept from the last answer is used only when the server cannot be reached.
// scripts/web fills in the build and its files.
var BUILD = 'pyrokettle-@BUILD@';
var FILES = @FILES@;

// The files the page has just loaded are taken from the browser's cache once the server says
// they are still the same (a request of a few bytes each), or else fetched anew.
self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(BUILD).then(function (cache) {
    return Promise.all(FILES.map(function (file) {
      return cache.add(new Request(file, {cache: 'no-cache'})).catch(function () {});
    }));
  }).then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) { return name !== BUILD; }).map(function (name) {
      return caches.delete(name);
    }));
  }).then(function () { return self.clients.claim(); }));
});

self.addEventListener('fetch', function (event) {
  var request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(fetch(request.url, {cache: 'no-cache', credentials: 'same-origin'}).then(function (response) {
    if (response.ok) {
      var copy = response.clone();
      caches.open(BUILD).then(function (cache) { cache.put(request.url, copy); });
    }
    return response;
  }, function () {
    return caches.match(request.url, {ignoreSearch: true}).then(function (kept) {
      return kept || Response.error();
    });
  }));
});
