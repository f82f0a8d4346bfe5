// Drives the page in headless Chromium over the DevTools protocol: loads it,
// lets it run, and answers with what it logged and the canvas's pixels.
// node --experimental-websocket web_page.mjs DEVTOOLS_WS_URL PAGE_URL OUT.json
import { writeFileSync } from "node:fs";

const [browserUrl, pageUrl, out] = process.argv.slice(2);

async function connect(url) {
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

const cdp = await connect(browserUrl);
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
await send("Emulation.setDeviceMetricsOverride", { width: 1000, height: 800, deviceScaleFactor: 1, mobile: false });
await send("Page.navigate", { url: pageUrl });
await new Promise((r) => setTimeout(r, 3000));
const { result } = await send("Runtime.evaluate", {
    returnByValue: true,
    expression: `(() => {
        const c = document.getElementById("modra");
        const d = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
        let hex = "";
        for (let i = 0; i < d.length; i += 4)
            hex += ((d[i] << 16) | (d[i + 1] << 8) | d[i + 2]).toString(16).padStart(6, "0");
        return { width: c.width, height: c.height, title: document.title, zoom: Module.modraZoom, hex };
    })()`,
});
writeFileSync(out, JSON.stringify({ problems, ...result.value }));
await cdp.send("Target.closeTarget", { targetId });
cdp.close();
