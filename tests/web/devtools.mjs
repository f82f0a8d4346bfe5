// A small client of the DevTools protocol over the browser's WebSocket, and a page opened through it with
// the calls the page tests make: the browser's own mouse and keyboard, and the canvas read back.
import { readFileSync } from "node:fs";
import { inflateSync } from "node:zlib";

export async function connect(url) {
    const socket = new WebSocket(url);
    await new Promise((resolve, reject) => {
        socket.onopen = resolve;
        socket.onerror = () => reject(new Error("cannot reach " + url));
    });
    let next = 0;
    const waiting = new Map();
    const listeners = [];
    socket.onmessage = (m) => {
        const message = JSON.parse(m.data);
        if (message.id !== undefined && waiting.has(message.id)) {
            const { resolve, reject } = waiting.get(message.id);
            waiting.delete(message.id);
            if (message.error) reject(new Error(message.error.message));
            else resolve(message.result);
        } else {
            for (const listen of listeners) listen(message);
        }
    };
    return {
        send(method, params = {}, sessionId) {
            const id = ++next;
            socket.send(JSON.stringify({ id, method, params, sessionId }));
            return new Promise((resolve, reject) => waiting.set(id, { resolve, reject }));
        },
        on(listen) { listeners.push(listen); },
        close() { socket.close(); },
    };
}

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// A test's checks: each that fails is a fault; at the end its measures get a line, each fault one, or else
// what the test showed does, and the exit code says which.
export function verdict(name) {
    const faults = [], told = [];
    return {
        faults,
        check(what, ok) { if (!ok) faults.push(what); return ok; },
        tell(what) { told.push(what); },
        // A page's console errors and exceptions are faults of the test too, but for those `keep` forgives.
        done(page, keep = () => true) {
            faults.push(...page.problems.filter(keep));
            return page.close();
        },
        finish(cdp, shown) {
            cdp.close();
            if (told.length) console.log(`${name}: ${told.join("; ")}`);
            for (const f of faults) console.log(`${name}: ${f}`);
            console.log(`${name}: ${faults.length ? "FAILED" : shown}`);
            process.exit(faults.length ? 1 : 0);
        },
    };
}

// The next download's name once it is complete; undefined after ten seconds without.
export function nextDownload(cdp) {
    const on = (method, ok) =>
        new Promise((resolve) => cdp.on((m) => m.method === method && ok(m.params) && resolve(m.params)));
    const named = on("Browser.downloadWillBegin", () => true);
    const saved = on("Browser.downloadProgress", (p) => p.state === "completed");
    return Promise.race([Promise.all([named, saved]).then(([n]) => n.suggestedFilename), sleep(10000)]);
}

// modra-render's window as it writes it: "P6\nW H\n255\n", then RGB.
export function readPpm(path) {
    const ppm = readFileSync(path), [, width, height] = ppm.toString("latin1", 0, 20).split(/\s+/).map(Number);
    return { width, height, rgb: ppm.subarray(ppm.length - width * height * 3) };
}

// How many pixels of `drawn` (the page's, RGBA) differ from modra-render's window `ppm` at `offset` from them,
// of those `counted`.
export function unlike(drawn, ppm, counted = () => true, [dx, dy] = [0, 0]) {
    let n = 0;
    for (let y = 0; y < drawn.height; ++y)
        for (let x = 0; x < drawn.width; ++x) {
            const i = 4 * (y * drawn.width + x), j = 3 * ((y + dy) * ppm.width + x + dx);
            if (counted(x, y) && [0, 1, 2].some((c) => drawn.rgba[i + c] !== ppm.rgb[j + c])) ++n;
        }
    return n;
}

// A replay link's text and how many frames it lasts, to its end record.
export function replayOf(link) {
    const text = link.includes("#replay=") ? inflateSync(Buffer.from(link.split("#replay=")[1], "base64url")).toString() : "";
    return { text, frames: text.split("\n").slice(2).reduce((sum, line) => sum + (parseInt(line, 10) || 0), 0) };
}

// From before the page's own scripts run: every present of the window, timed on the page's clock; and
// readers of the window's pixels, wherever the page keeps them (the canvas, or its own while it shows parts).
const preloaded = `(() => {
    window.modraPresents = [];
    const put = CanvasRenderingContext2D.prototype.putImageData;
    CanvasRenderingContext2D.prototype.putImageData = function (image, x, y) {
        if (window.modraPresents.length < 100000)
            window.modraPresents.push([performance.now(), x, y, image.width, image.height]);
        return put.apply(this, arguments);
    };
    window.modraTest = {
        back: () => window.Module?.modraBack ?? document.getElementById("modra"),
        grab(x, y, w, h) { return this.back().getContext("2d").getImageData(x, y, w, h).data; },
        // The view: at (20, 20) on a desktop, where the first part is drawn from on a phone.
        view() { const p = Module.modraParts?.[0] ?? [20, 20]; return this.grab(p[0], p[1], 640, 480); },
        // Of two views, how many pixels differ and the smallest box holding them, [left, top, right, bottom).
        changed(a, b) {
            let n = 0, box = null;
            for (let i = 0; i < a.length; i += 4) {
                if (a[i] === b[i] && a[i + 1] === b[i + 1] && a[i + 2] === b[i + 2]) continue;
                const x = (i / 4) % 640, y = Math.floor(i / 4 / 640);
                box = box ? [Math.min(box[0], x), Math.min(box[1], y), Math.max(box[2], x + 1), Math.max(box[3], y + 1)]
                          : [x, y, x + 1, y + 1];
                ++n;
            }
            return { n, box };
        },
        white: (d, i) => d[i] === 255 && d[i + 1] === 255 && d[i + 2] === 255,
        allWhite(x, y, w, h) { const d = this.grab(x, y, w, h); return d.every((_, i) => i % 4 || this.white(d, i)); },
        // Where a thumb is: the mean position of the white pixels along a line.
        whiteMiddle(x, y, w, h) {
            const d = this.grab(x, y, w, h);
            let sum = 0, n = 0;
            for (let i = 0; i < d.length; i += 4) if (this.white(d, i)) { sum += (w > 1 ? x : y) + i / 4; n++; }
            return n ? Math.round(sum / n) : null;
        },
        // A box of the window, all of it by default, in a form Node can take.
        pixels(x = 0, y = 0, w = this.back().width, h = this.back().height) {
            const d = this.grab(x, y, w, h);
            let s = "";
            for (let i = 0; i < d.length; i += 0x8000) s += String.fromCharCode(...d.subarray(i, i + 0x8000));
            return { width: w, height: h, rgba: btoa(s) };
        },
    };
})()`;

// A tab of `width` x `height` CSS pixels at `ratio` device pixels each showing `url`, `preload` run before
// the page's scripts; console errors and exceptions collect in .problems.
export async function openPage(cdp, url, { width, height, ratio = 1, preload = "", mobile = false, media = [] }) {
    const { targetId } = await cdp.send("Target.createTarget", { url: "about:blank" });
    const { sessionId } = await cdp.send("Target.attachToTarget", { targetId, flatten: true });
    const send = (method, params) => cdp.send(method, params, sessionId);
    const problems = [];
    cdp.on((m) => {
        if (m.sessionId !== sessionId) return;
        if (m.method === "Runtime.consoleAPICalled" && (m.params.type === "error" || m.params.type === "assert"))
            problems.push("console: " + m.params.args.map((a) => a.value ?? a.description).join(" "));
        if (m.method === "Runtime.exceptionThrown")
            problems.push("exception: " + (m.params.exceptionDetails.exception?.description ?? m.params.exceptionDetails.text));
        if (m.method === "Log.entryAdded" && m.params.entry.level === "error")
            problems.push("log: " + m.params.entry.text + " " + (m.params.entry.url ?? ""));
    });
    await send("Runtime.enable");
    await send("Log.enable");
    await send("Page.enable");
    await send("Emulation.setDeviceMetricsOverride", { width, height, deviceScaleFactor: ratio, mobile });
    if (mobile) await send("Emulation.setTouchEmulationEnabled", { enabled: true, maxTouchPoints: 5 });
    if (media.length) await send("Emulation.setEmulatedMedia", { features: media });
    await send("Page.addScriptToEvaluateOnNewDocument", { source: preloaded + ";" + preload });
    await send("Page.navigate", { url });
    const page = {
        problems,
        send,
        async evaluate(expression) {
            const { result, exceptionDetails } = await send("Runtime.evaluate", { expression, returnByValue: true, awaitPromise: true });
            if (exceptionDetails) throw new Error("in the page: " + (exceptionDetails.exception?.description ?? exceptionDetails.text));
            return result.value;
        },
        // Waits up to `ms` for `expression` to be true in the page.
        async until(expression, ms) {
            for (const end = Date.now() + ms; Date.now() < end; await sleep(50))
                if (await page.evaluate(expression)) return true;
            return false;
        },
        // The first frame: the first present of the whole view on its own.
        shown(ms = 15000) { return page.until(`modraPresents.some((p) => p[3] === 640 && p[4] === 480)`, ms); },
        // How many frames the page makes over `ms`.
        async frames(ms) {
            const views = `modraPresents.filter((p) => p[3] === 640 && p[4] === 480).length`;
            const before = await page.evaluate(views);
            await sleep(ms);
            return (await page.evaluate(views)) - before;
        },
        // How many pixels of the view change over `ms` after `act`.
        async moved(ms, act = () => {}) {
            await page.evaluate(`void (modraTest.before = modraTest.view())`);
            await act();
            await sleep(ms);
            return page.evaluate(`modraTest.changed(modraTest.before, modraTest.view()).n`);
        },
        // The window's pixels (a box of them), as RGBA.
        async pixels(...box) {
            const { width, height, rgba } = await page.evaluate(`modraTest.pixels(${box.join(", ")})`);
            return { width, height, rgba: Buffer.from(rgba, "base64") };
        },
        // The link K put on the clipboard; "" if none within five seconds.
        async copied() {
            await page.until(`navigator.clipboard.readText().then((t) => t.includes("#replay="), () => false)`, 5000);
            return page.evaluate(`navigator.clipboard.readText().catch(() => "")`);
        },
        // The CSS point of the window's client pixel [x, y] as the page shows it, or of the middle of an element.
        async point(at) {
            return page.evaluate(typeof at === "string" ? `(() => {
                const r = document.querySelector(${JSON.stringify(at)}).getBoundingClientRect();
                return [r.left + r.width / 2, r.top + r.height / 2];
            })()` : `(() => {
                const r = document.getElementById("modra").getBoundingClientRect();
                const s = r.width / document.getElementById("modra").width;
                return [r.left + (${at[0]} + 0.5) * s, r.top + (${at[1]} + 0.5) * s];
            })()`);
        },
        // A press at `from` (as point takes it), moves through client pixels `path` and a release at its end.
        async drag(button, from, path = []) {
            const buttons = button === "left" ? 1 : 2;
            let [x, y] = await page.point(from);
            await send("Input.dispatchMouseEvent", { type: "mouseMoved", x, y });
            await send("Input.dispatchMouseEvent", { type: "mousePressed", x, y, button, buttons, clickCount: 1 });
            for (const p of path) {
                [x, y] = await page.point(p);
                await send("Input.dispatchMouseEvent", { type: "mouseMoved", x, y, button, buttons });
            }
            await send("Input.dispatchMouseEvent", { type: "mouseReleased", x, y, button, buttons: 0, clickCount: 1 });
        },
        click(at) { return page.drag("left", at); },
        // A finger put down at `at`, as point takes it, and lifted.
        async tap(at) {
            const [x, y] = await page.point(at);
            await send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x, y }] });
            await send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
        },
        async key(key, code, keyCode) {
            const fields = { key, code, windowsVirtualKeyCode: keyCode, nativeVirtualKeyCode: keyCode };
            await send("Input.dispatchKeyEvent", { type: "keyDown", ...fields, text: key.length === 1 ? key : undefined });
            await send("Input.dispatchKeyEvent", { type: "keyUp", ...fields });
        },
        async screenshot() {
            const { data } = await send("Page.captureScreenshot", { format: "png" });
            return Buffer.from(data, "base64");
        },
        close() { return cdp.send("Target.closeTarget", { targetId }); },
    };
    return page;
}
