// The page as an app: its manifest and icons; a first visit and one with the service worker, counted in the
// bytes a server of our own sends, which then stops, and the page starts again with no network and runs. On a
// phone, each item of the keys' menu does what its key does. Prints its faults and exits 1 on any.
//   node --experimental-websocket web_pwa.mjs DEVTOOLS_WS_URL SITE_DIR SHOTS_DIR DOWNLOADS
import { readFileSync, statSync, writeFileSync } from "node:fs";
import { createServer } from "node:http";
import { connect, nextDownload, openPage, sleep, verdict } from "./devtools.mjs";

const [browserUrl, site, shots, downloads] = process.argv.slice(2);
const cdp = await connect(browserUrl);
const { check, done, tell, finish } = verdict("web_pwa");

// The site as a plain static server has it: Last-Modified, and each visit asks again (a 304 when unchanged);
// `rebuilt` holds files of a new build, with the time they were made.
const types = { html: "text/html", js: "text/javascript", wasm: "application/wasm", png: "image/png" };
let sent = 0, answers = [];
const rebuilt = new Map();
const counted = new WeakMap();
const server = createServer((request, response) => {
    response.on("finish", () => {
        const socket = request.socket;
        sent += socket.bytesWritten - (counted.get(socket) ?? 0);
        counted.set(socket, socket.bytesWritten);
    });
    const name = new URL(request.url, "http://here").pathname.slice(1) || "index.html";
    let body, modified;
    try {
        const file = `${site}/${name.replace(/\//g, "")}`;
        [body, modified] = rebuilt.get(name) ?? [readFileSync(file), statSync(file).mtime.toUTCString()];
    } catch {
        return response.writeHead(404).end();
    }
    const unchanged = request.headers["if-modified-since"] === modified;
    answers.push(unchanged ? 304 : 200);
    response.writeHead(unchanged ? 304 : 200, { "Content-Type": types[name.split(".").pop()] ?? "application/octet-stream",
                                                "Last-Modified": modified, "Cache-Control": "no-cache" });
    response.end(unchanged ? undefined : body);
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const { port } = server.address();
const url = `http://127.0.0.1:${port}/`;
const caption = `document.getElementById("caption").textContent`;
// What the server sent since `from`, and its answers since, which it then forgets.
const since = (from) => {
    const told = `${((sent - from) / 1024).toFixed(1)} KiB in ${answers.length} answers, ` +
                 `${answers.filter((a) => a === 304).length} of them 304`;
    answers = [];
    return told;
};
async function reload(page) {
    const loaded = new Promise((resolve) => cdp.on((m) => m.method === "Page.loadEventFired" && resolve()));
    await page.send("Page.reload", {});
    await loaded;
    return page.shown();
}

// A first visit on a desktop, its worker installed, then visits with it: online, and with the server gone.
{
    const page = await openPage(cdp, url, { width: 1000, height: 800 });
    check("a first visit shows a first frame", await page.shown());
    check("the worker takes the page over", await page.until("navigator.serviceWorker.controller !== null", 10000));
    await sleep(500);
    const visit = since(0);
    // Chromium's verdict covers the manifest's names, display, start and an icon it can use; the rest is ours.
    const { installabilityErrors } = await page.send("Page.getInstallabilityErrors", {});
    check(`Chromium would install it (${JSON.stringify(installabilityErrors)})`, installabilityErrors.length === 0);
    check("a desktop has no menu button",
          await page.evaluate(`getComputedStyle(document.getElementById("keys-open")).display === "none"`));
    const icons = await page.evaluate(`(async () => {
        const at = document.querySelector('link[rel="manifest"]').href;
        return Promise.all((await (await fetch(at)).json()).icons.map(async (icon) => {
            const bitmap = await createImageBitmap(await (await fetch(new URL(icon.src, at))).blob());
            return [icon.sizes, bitmap.width + "x" + bitmap.height, icon.purpose];
        }));
    })()`);
    check(`its icons are PNGs of the sizes they say, 192 and 512, and maskable too (${JSON.stringify(icons)})`,
          icons.every(([sizes, decoded]) => sizes === decoded) && ["192x192", "512x512"].every((s) =>
              ["any", "maskable"].every((p) => icons.some(([sizes, , purpose]) => sizes === s && purpose === p))));

    const before = sent;
    answers = [];
    check("a visit with the worker shows a first frame", await reload(page));
    await sleep(500);
    tell(`sent by the server: a first visit with the worker's copy ${visit}; a visit with the worker ${since(before)}`);

    // A new build, of another page and so another worker: the next visit has the page at once, and the new
    // worker's copy of the site replaces the old one.
    const made = new Date(Date.now() + 2000).toUTCString();
    const build = (name, from, to) => rebuilt.set(name, [readFileSync(`${site}/${name}`, "utf8").replace(from, to), made]);
    build("index.html", "</body>", "<!-- a new build -->\n</body>");
    build("sw.js", / [0-9a-f]{16}";/, ' 0123456789abcdef";');
    const newPage = `document.documentElement.outerHTML.includes("a new build")`;
    check("a new build's page comes at once", (await reload(page)) && (await page.evaluate(newPage)));
    check("and its worker's copy replaces the old", await page.until(`caches.keys().then(async (names) =>
        names.length === 1 && names[0].endsWith(" 0123456789abcdef") &&
        (await (await caches.match("index.html")).text()).includes("a new build"))`, 10000));

    server.close();
    server.closeAllConnections();
    const shown = await reload(page);
    const more = await page.frames(1000);
    tell(`with no server, ${more} frames in a second`);
    check(`with no server the new build's page starts and runs: ${more} frames in a second`,
          shown && more > 50 && (await page.evaluate(newPage)));
    writeFileSync(`${shots}/web_pwa_offline.png`, await page.screenshot());
    await done(page, (p) => !p.includes("ERR_CONNECTION_REFUSED"));
}

// A phone: the menu's items, each tapped, as their keys.
await new Promise((resolve) => server.listen(port, "127.0.0.1", resolve));
await cdp.send("Browser.grantPermissions", { origin: url.slice(0, -1), permissions: ["clipboardReadWrite", "clipboardSanitizedWrite"] });
await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads, eventsEnabled: true });
{
    const page = await openPage(cdp, url, { width: 390, height: 844, ratio: 3, mobile: true });
    check("the phone shows a first frame", await page.shown());
    await page.send("Page.setInterceptFileChooserDialog", { enabled: true });
    const open = `!document.getElementById("keys").hidden`;
    const sizes = (selector) => page.evaluate(`[...document.querySelectorAll(${JSON.stringify(selector)})]
        .map((b) => [b.dataset.key ?? b.id, b.getBoundingClientRect().width, b.getBoundingClientRect().height])`);
    const button = await sizes("#keys-open");
    await page.tap("#keys-open");
    check("a tap on the menu button opens the menu", await page.until(open, 2000));
    const targets = [...button, ...await sizes("#keys button")];
    check(`the phone's menu button, and the menu's items, are 44 CSS pixels at least (${JSON.stringify(targets)})`,
          (await page.evaluate(`document.body.classList.contains("phone")`)) && button[0][1] >= 44 && targets.every(([, , h]) => h >= 44));
    writeFileSync(`${shots}/web_pwa_menu.png`, await page.screenshot());
    await page.tap([40, 480]);
    check("a tap beside it closes it", !(await page.evaluate(open)));

    const chooser = () => new Promise((resolve) => cdp.on((m) => m.method === "Page.fileChooserOpened" && resolve(true)));
    const said = (text) => page.until(`${caption}.startsWith(${JSON.stringify(text)})`, 5000);
    // What each key does, seen: the ones a browser allows only on a user's gesture too.
    const effects = {
        A: () => said("playing by itself"),
        S: async () => /\.png$/.test(await nextDownload(cdp)),
        R: () => said("recording"),
        K: () => page.until(`navigator.clipboard.readText().then((t) => t.startsWith(location.origin + "/#replay="), () => false)`, 5000),
        L: () => page.until(`/listening to this computer|nothing to listen to/.test(${caption})`, 5000),
        O: () => Promise.race([chooser(), sleep(5000).then(() => false)]),
        F1: () => page.until(`document.getElementById("box").open && document.querySelector("#box h2").textContent === "Modra keys"`, 2000),
    };
    for (const [key, seen] of Object.entries(effects)) {
        await page.tap("#keys-open");
        await page.until(open, 2000);
        const effect = seen();
        await page.tap(`#keys button[data-key="${key}"]`);
        check(`the menu's ${key} does what the key does (the page says "${await page.evaluate(caption)}")`,
              (await effect) && !(await page.evaluate(open)));
    }
    await done(page);
}

server.close();
server.closeAllConnections();
finish(cdp, "installable, starts with no network, and the menu does what the keys do");
