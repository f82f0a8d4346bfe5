// Keeps the site's files so that the page, once opened, starts again with no
// network. Online it changes nothing: each request goes to the network as it
// would without this worker (the browser's own cache still saves the
// transfers), so the page and its modra.js and modra.wasm are always of one
// build; only when the network fails does an answer come from the copy kept
// here, which is one whole build too. A cache-first modra.wasm under a fresh
// page could pair files of two builds.
//
// scripts/build-web.sh writes the site's files and a hash of them over the
// marks below: a changed site is a changed worker, which the browser installs
// at the next visit in place of this one, and its copy replaces this one's.
"use strict";
const files = ["@SITE_FILES@"];
const kept = "modra " + self.registration.scope + " @SITE_HASH@";

self.addEventListener("install", (event) => {
    event.waitUntil((async () => {
        const store = await caches.open(kept);
        // Asked of the server (a 304 for what the browser holds), never the browser's cache unasked,
        // which may still hold files of the build before.
        await store.addAll(files.map((file) => new Request(file, { cache: "no-cache" })));
        await self.skipWaiting();
    })());
});

self.addEventListener("activate", (event) => {
    event.waitUntil((async () => {
        const ours = "modra " + self.registration.scope + " ";
        for (const name of await caches.keys())
            if (name.startsWith(ours) && name !== kept) await caches.delete(name);
        await self.clients.claim();
    })());
});

self.addEventListener("fetch", (event) => {
    const request = event.request;
    if (request.method !== "GET" || !request.url.startsWith(self.registration.scope)) return;
    event.respondWith(fetch(request).catch(async (error) => {
        const store = await caches.open(kept);
        // The site has one page, whatever its address asks of it (?embed, ?wallpaper=).
        const copy = request.mode === "navigate" ? await store.match("index.html")
                                                 : await store.match(request, { ignoreSearch: true });
        if (!copy) throw error;
        return copy;
    }));
});
