'use strict';
// The service worker: every file of the page kept on install, so that the page runs offline once it
// has loaded. The network comes first while there is one, so a new build is seen on the next visit.
const kCache = 'kelvaron';
const kFiles = ['./', 'index.html', 'page.js', 'kelvaron.js', 'kelvaron.wasm', 'kelvaron.data',
                'manifest.webmanifest', 'icon.svg'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  if (event.request.method != 'GET') return;
  event.respondWith(fetch(event.request).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      caches.open(kCache).then((cache) => cache.put(event.request, copy));
    }
    return response;
  }).catch(() => caches.match(event.request, {ignoreSearch: true})));
});
