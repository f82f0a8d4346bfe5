// A small client of the DevTools protocol over the browser's WebSocket, and a page opened through it with
// the calls the page tests make: the browser's own mouse and keyboard, and the canvas read back.
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

// A test's checks: each that fails is a fault; at the end each fault gets a line, or else what the test
// showed does, and the exit code says which.
export function verdict(name) {
    const faults = [];
    return {
        faults,
        check(what, ok) { if (!ok) faults.push(what); return ok; },
        finish(cdp, shown) {
            cdp.close();
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

// Every present of the canvas, timed on the page's clock, from before the page's own scripts run.
const presents = `(() => {
    window.modraPresents = [];
    const put = CanvasRenderingContext2D.prototype.putImageData;
    CanvasRenderingContext2D.prototype.putImageData = function (image, x, y) {
        if (window.modraPresents.length < 100000)
            window.modraPresents.push([performance.now(), x, y, image.width, image.height]);
        return put.apply(this, arguments);
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
    await send("Page.addScriptToEvaluateOnNewDocument", { source: presents + ";" + preload });
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
        // The CSS point of the window's client pixel (x, y), as the page shows it.
        async point(x, y) {
            return page.evaluate(`(() => {
                const r = document.getElementById("modra").getBoundingClientRect();
                const s = r.width / document.getElementById("modra").width;
                return [r.left + (${x} + 0.5) * s, r.top + (${y} + 0.5) * s];
            })()`);
        },
        // A press at client pixel `from`, moves through `path` and a release at its end.
        async drag(button, from, path = []) {
            const buttons = button === "left" ? 1 : 2;
            let [x, y] = await page.point(...from);
            await send("Input.dispatchMouseEvent", { type: "mouseMoved", x, y });
            await send("Input.dispatchMouseEvent", { type: "mousePressed", x, y, button, buttons, clickCount: 1 });
            for (const p of path) {
                [x, y] = await page.point(...p);
                await send("Input.dispatchMouseEvent", { type: "mouseMoved", x, y, button, buttons });
            }
            await send("Input.dispatchMouseEvent", { type: "mouseReleased", x, y, button, buttons: 0, clickCount: 1 });
        },
        click(at) { return page.drag("left", at); },
        // A finger put down at client pixel `at` and lifted.
        async tap(at) {
            const [x, y] = await page.point(...at);
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
