// What the page's browser tests share: their failures and report, a static host for the site,
// and pixels read back from a browser's screenshots.

import { createHash } from "node:crypto";
import { mkdirSync, mkdtempSync, rmSync } from "node:fs";
import { createServer } from "node:http";
import { readFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import { extname, join } from "node:path";
import { inflateSync } from "node:zlib";

// Every browser a run starts, and whatever it starts, has a HOME of its own, new for the run, as
// on a machine that never ran one: no cache or setting a run before left changes what this sees.
// Each browser's profile is new too, made by its driver.
{
    const home = mkdtempSync(join(tmpdir(), "kazerima-home-"));
    const dirs = { XDG_CONFIG_HOME: ".config", XDG_CACHE_HOME: ".cache", XDG_DATA_HOME: ".local/share",
                   XDG_STATE_HOME: ".local/state" };
    process.env.HOME = home;
    for (const [name, dir] of Object.entries(dirs)) {
        process.env[name] = join(home, dir);
        mkdirSync(process.env[name], { recursive: true });
    }
    process.on("exit", () => rmSync(home, { recursive: true, force: true }));
}

// Every check that failed, by what was seen; the run goes on after a failure.
export const failures = [];
export function check(ok, what) {
    if (!ok)
        failures.push(what);
    return ok;
}

// Prints the failures, or what passed, and ends the run with its verdict.
export function report(passed) {
    for (const failure of failures)
        console.log(`FAIL: ${failure}`);
    console.log(failures.length ? `${failures.length} failed` : passed);
    process.exit(failures.length ? 1 : 0);
}

// The page's policy refuses an inline script such as this probe; browsers name the refusal by
// the script's digest, which tells it from any other.
export const ProbeScript = "window.ran = true;";
export const ProbeDigest = createHash("sha256").update(ProbeScript).digest("base64");

// Run in the page with ProbeScript: whether the policy refused it.
export function refusesInlineScript(text) {
    return new Promise((done) => {
        addEventListener("securitypolicyviolation", () => done(!window.ran), { once: true });
        const script = document.createElement("script");
        script.textContent = text;
        document.head.append(script);
        // An inline script let through runs as it is added; one refused is reported, a moment
        // later however slow the machine.
        if (window.ran)
            done(false);
    });
}

const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css",
                ".webmanifest": "application/manifest+json", ".png": "image/png",
                ".svg": "image/svg+xml", ".txt": "text/plain" };

// A static host on this machine serving the site under /game/, as any static host would, and
// letting browsers keep what it serves for ten minutes, as ordinary hosts do. It notes every
// request (`requests`); a test deploys a changed file by putting it in `deployed` under its path
// in the site, takes the host down with `down`, and may serve its own pages beside the site
// (`extra`, by path). With `policyReports` it sends the page's own Content-Security-Policy once
// more, to report only, so that whatever the policy refuses is reported to `cspReports`.
export async function startHost(site, { policyReports = false } = {}) {
    const host = { requests: [], deployed: {}, extra: {}, down: false, cspReports: [] };
    let policy = "";
    if (policyReports) {
        const page = await readFile(join(site, "index.html"), "utf8");
        policy = page.match(/Content-Security-Policy" content="([^"]+)"/)?.[1];
        if (!policy)
            throw new Error("the page states no Content-Security-Policy");
    }
    const server = createServer(async (request, response) => {
        const path = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
        if (host.down) {
            request.socket.destroy();
            return;
        }
        if (path === "/csp-report") {
            let body = "";
            for await (const chunk of request)
                body += chunk;
            host.cspReports.push(JSON.parse(body)["csp-report"]);
            response.writeHead(204);
            response.end();
            return;
        }
        if (path in host.extra) {
            response.writeHead(200, { "content-type": "text/html" });
            response.end(host.extra[path]);
            return;
        }
        host.requests.push(path);
        const inSite = path.replace(/^\/game\//, "/").replace(/\/$/, "/index.html");
        const file = join(site, inSite);
        try {
            const body = host.deployed[inSite] ?? await readFile(file);
            const headers = { "content-type": types[extname(file)] || "application/octet-stream",
                              "cache-control": "max-age=600" };
            if (policy && extname(file) === ".html")
                headers["content-security-policy-report-only"] = `${policy}; report-uri /csp-report`;
            response.writeHead(200, headers);
            response.end(body);
        } catch {
            response.writeHead(404);
            response.end();
        }
    });
    await new Promise((done) => server.listen(0, "127.0.0.1", done));
    host.origin = `http://127.0.0.1:${server.address().port}`;
    // Under a sub-path, as on any static host.
    host.url = `${host.origin}/game/`;
    host.close = () => new Promise((done) => server.close(done));
    return host;
}

// The names the result box shows, read for at least `milliseconds` and on until two have shown
// or twenty seconds have passed: a browser sharing a busy machine may run few frames.
export async function captionsOver(readCaption, milliseconds) {
    const seen = new Set();
    for (const start = Date.now(); ; await new Promise((done) => setTimeout(done, 20))) {
        const caption = await readCaption();
        if (caption) // not the box before the first tick
            seen.add(caption);
        const elapsed = Date.now() - start;
        if (elapsed >= 20000 || (elapsed >= milliseconds && seen.size >= 2))
            return seen;
    }
}

// Waits until `read` returns something true, or fails the run saying what it waited for: the
// deadline is for a machine that is slow, not a measure of how long anything may take.
export async function waitFor(what, read, { seconds = 20 } = {}) {
    for (const end = Date.now() + seconds * 1000; ; await new Promise((done) => setTimeout(done, 20))) {
        const value = await read();
        if (value)
            return value;
        if (Date.now() > end)
            throw new Error(`waited ${seconds} s for ${what}`);
    }
}

// Run in the page: the viewport's width once the page has fitted its window to the viewport as it
// now is, else false. The page says which viewport it last fitted on its body; on a reload, the
// new document must say it.
export function fittedNow() {
    const root = document.documentElement;
    const fitted = !window.reloaded
        && document.body?.dataset.fitted === `${root.clientWidth} ${root.clientHeight}`;
    return fitted && root.clientWidth;
}

// Run in the page: resolves once the page is in the hands of a worker that keeps the site, and
// whether it is. A worker is active only once its copy of the site is whole; it takes the page that
// registered it as soon as it is, and the next page from its first request.
export function keptByWorker() {
    return navigator.serviceWorker.ready.then(() => navigator.serviceWorker.controller
        || new Promise((done) => navigator.serviceWorker.addEventListener("controllerchange", done, { once: true })))
        .then(() => navigator.serviceWorker.controller !== null);
}

// Run in the page: resolves once every face the page names has loaded and two frames have been
// drawn since. A face loads when a caption first asks for it, and the system's stands in for it
// until then, alike but for a few pixels of each glyph.
export function drawnInItsFaces() {
    return Promise.all([...document.fonts].map((face) => face.load().catch(() => null)))
        .then(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(() => done(true)))));
}

// Run in the page: resolves once it has drawn `count` frames more, however long a busy machine
// takes to draw them.
export function framesDrawn(count) {
    return new Promise((done) => {
        let frames = 0;
        const next = () => (++frames >= count ? done(true) : requestAnimationFrame(next));
        requestAnimationFrame(next);
    });
}

// An 8-bit RGB or RGBA PNG, as browsers' screenshots are, as { width, height, rgb(x, y) }.
export function decodePng(png) {
    const width = png.readUInt32BE(16), height = png.readUInt32BE(20);
    const channels = { 2: 3, 6: 4 }[png[25]];
    if (png[24] !== 8 || !channels || png[28] !== 0)
        throw new Error("not an 8-bit, non-interlaced RGB or RGBA PNG");
    const chunks = [];
    for (let at = 8; at < png.length; at += 12 + png.readUInt32BE(at)) {
        if (png.toString("ascii", at + 4, at + 8) === "IDAT")
            chunks.push(png.subarray(at + 8, at + 8 + png.readUInt32BE(at)));
    }
    const raw = inflateSync(Buffer.concat(chunks));
    const stride = width * channels;
    const pixels = Buffer.alloc(stride * height);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        const row = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        for (let i = 0; i < stride; ++i) {
            const left = i >= channels ? pixels[y * stride + i - channels] : 0;
            const up = y > 0 ? pixels[(y - 1) * stride + i] : 0;
            const upLeft = y > 0 && i >= channels ? pixels[(y - 1) * stride + i - channels] : 0;
            const paeth = () => {
                const p = left + up - upLeft;
                const [a, b, c] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - upLeft)];
                return a <= b && a <= c ? left : b <= c ? up : upLeft;
            };
            const predicted = [0, left, up, (left + up) >> 1, filter === 4 ? paeth() : 0][filter];
            pixels[y * stride + i] = (row[i] + predicted) & 0xFF;
        }
    }
    const rgb = (x, y) => [...pixels.subarray((y * width + x) * channels, (y * width + x) * channels + 3)];
    return { width, height, rgb };
}
