// Measures the page in Debian's headless Chromium and prints rows of BENCHMARKS.md's table:
// the site's bytes, load to first paint against a floor page and a plain one, the names a second
// against the page's frames, and the renderer's CPU idle and spinning. With --lighthouse, only
// Lighthouse's applied phone runs against the floor and the plain page, each run on stderr too.
//
//     node web.mjs path/to/build/web [--lighthouse]

import { chromium } from "playwright-core";
import lighthouse from "lighthouse";
import * as chromeLauncher from "chrome-launcher";
import { createServer } from "node:http";
import { readdir, readFile, stat } from "node:fs/promises";
import { extname, join, relative, resolve } from "node:path";
import { gzipSync } from "node:zlib";

const site = resolve(process.argv[2]);
const lighthouseOnly = process.argv.includes("--lighthouse");
const say = (text) => process.stderr.write(`  ${text}\n`);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor((values.length - 1) / 2)];
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// --- the site's bytes ---------------------------------------------------------------------
async function files(folder) {
    const found = [];
    for (const entry of await readdir(folder, { withFileTypes: true })) {
        const path = join(folder, entry.name);
        found.push(...(entry.isDirectory() ? await files(path) : [path]));
    }
    return found;
}
const sizes = [];
let total = 0, gzipped = 0;
for (const file of (await files(site)).sort()) {
    const bytes = (await stat(file)).size;
    total += bytes;
    gzipped += gzipSync(await readFile(file), { level: 9 }).length;
    sizes.push(`${relative(site, file)} ${bytes}`);
}

// --- a host on this machine, serving the site, a floor page and a plain page -------------------
// As ordinary static hosts do, it compresses text for browsers that take it.
let floorPage = "", plainPage = "";
const send = (request, response, type, body) => {
    const headers = type ? { "content-type": type } : {};
    if (/^text\//.test(type) && /gzip/.test(request.headers["accept-encoding"] || "")) {
        headers["content-encoding"] = "gzip";
        body = gzipSync(body);
    }
    response.writeHead(200, headers);
    response.end(body);
};
const server = createServer(async (request, response) => {
    const path = new URL(request.url, "http://localhost").pathname;
    if (path === "/floor.html")
        return send(request, response, "text/html", floorPage);
    if (path === "/plain.html")
        return send(request, response, "text/html", plainPage);
    try {
        const body = await readFile(join(site, decodeURIComponent(path).replace(/\/$/, "/index.html")));
        send(request, response, { ".html": "text/html", ".js": "text/javascript", ".css": "text/css" }[extname(path)], body);
    } catch {
        response.writeHead(404);
        response.end();
    }
});
await new Promise((done) => server.listen(0, "127.0.0.1", done));
const origin = `http://127.0.0.1:${server.address().port}`;
const browser = await chromium.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking",
           "--disable-component-update", "--no-first-run", "--disable-sync"],
});
const viewport = { width: 418, height: 371 };
// The page's markup holds the window before the program runs: the program has run its first frame
// once it says on the body which viewport it fitted the window to.
const ProgramHasFitted = () => document.body.dataset.fitted !== undefined;

// The floor: the page as the program leaves it drawn, as static HTML with no program. The plain
// page: the same captions and names as text in paragraphs, and nothing else (no style, no face,
// no script): one round trip and the least a browser lays out, the most any page could do.
{
    const page = await browser.newPage({ viewport });
    await page.goto(`${origin}/`);
    await page.waitForFunction(ProgramHasFitted);
    const captions = await page.evaluate(() => [...document.querySelectorAll("main *")]
        .filter((element) => !element.closest("[hidden]"))
        .flatMap((element) => [...element.childNodes]
            .filter((node) => node.nodeType === Node.TEXT_NODE && node.textContent.trim())
            .map((node) => node.textContent).concat(element.matches("input[type=text]") ? [element.value] : [])));
    const text = (characters) => characters.replace(/&/g, "&amp;").replace(/</g, "&lt;");
    plainPage = '<!doctype html><html lang="ja"><head><meta charset="utf-8"><meta name="viewport" ' +
        'content="width=device-width, initial-scale=1"><title>Kazerima</title></head><body>' +
        captions.map((caption) => `<p>${text(caption)}</p>`).join("") + "</body></html>";
    floorPage = await page.evaluate(() => {
        // The policy would refuse the inline styles the program set; the floor has no program.
        document.querySelectorAll("script, dialog, meta[http-equiv]").forEach((element) => element.remove());
        return "<!doctype html>" + document.documentElement.outerHTML;
    });
    await page.close();
}

async function firstPaint(address) {
    const context = await browser.newContext({ viewport });
    const page = await context.newPage();
    await page.goto(address);
    await page.waitForFunction(() => performance.getEntriesByName("first-contentful-paint").length);
    const ms = await page.evaluate(() => performance.getEntriesByName("first-contentful-paint")[0].startTime);
    await context.close();
    return ms;
}
const paints = { page: [], floor: [] };
if (!lighthouseOnly) {
    say("load to first paint, page and floor (10 each, interleaved)");
    for (let i = 0; i < 10; ++i) {
        paints.page.push(await firstPaint(`${origin}/`));
        paints.floor.push(await firstPaint(`${origin}/floor.html`));
    }
}

// On a slow phone line (Lighthouse's: 150 ms round trips, 1.6 Mbit/s down) and a 4x slower CPU:
// the first visit, and the visit after, which the worker serves from its copy.
async function firstPaintOnAPhone(context, page) {
    const cdp = await context.newCDPSession(page);
    await cdp.send("Network.enable");
    await cdp.send("Network.emulateNetworkConditions", { offline: false, latency: 150,
                                                         downloadThroughput: 1.6e6 / 8 * 0.9,
                                                         uploadThroughput: 750e3 / 8 * 0.9 });
    await cdp.send("Emulation.setCPUThrottlingRate", { rate: 4 });
    const painted = () => page.evaluate(() => new Promise((done) => new PerformanceObserver(
        (list) => done(list.getEntries()[0].startTime)).observe({ type: "paint", buffered: true })));
    await page.goto(`${origin}/`);
    const first = await painted();
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => navigator.serviceWorker.controller
        || new Promise((done) => navigator.serviceWorker.addEventListener("controllerchange", done))));
    await page.goto("about:blank");
    await page.goto(`${origin}/`);
    return [first, await painted()];
}
const visits = { first: [], returning: [] };
for (let i = 0; i < (lighthouseOnly ? 0 : 5); ++i) {
    if (i === 0)
        say("first paint on a slow phone line, first visit and returning (5 each)");
    const context = await browser.newContext({ viewport: { width: 412, height: 823 }, isMobile: true, hasTouch: true });
    const [first, returning] = await firstPaintOnAPhone(context, await context.newPage());
    visits.first.push(first);
    visits.returning.push(returning);
    await context.close();
}

// Lighthouse's phone run (a mid-range phone on a slow 4G line), its network and CPU simulated
// and then really slowed ("applied"), three times each, alternated with the floor, and applied
// with the plain page too: first and largest contentful paint and total blocking time in ms, and
// cumulative layout shift.
const throttlings = lighthouseOnly ? { applied: "devtools" } : { simulated: "simulate", applied: "devtools" };
say(`Lighthouse, phone, ${Object.keys(throttlings).join(" and ")}: page, floor and (applied) plain page (3 each, alternated)`);
const lighthouseRuns = { simulated: { page: [], floor: [] }, applied: { page: [], floor: [], plain: [] } };
{
    const chrome = await chromeLauncher.launch({
        chromePath: "/usr/bin/chromium",
        chromeFlags: ["--headless=new", "--no-sandbox", "--disable-gpu"],
    });
    try {
        for (const [throttling, throttlingMethod] of Object.entries(throttlings)) {
            for (let i = 0; i < 3; ++i) {
                for (const which of Object.keys(lighthouseRuns[throttling])) {
                    const address = which === "page" ? `${origin}/` : `${origin}/${which}.html`;
                    const { lhr } = await lighthouse(address, { port: chrome.port, onlyCategories: ["performance"],
                                                                logLevel: "error", throttlingMethod });
                    const value = (audit) => lhr.audits[audit].numericValue;
                    const run = [value("first-contentful-paint"), value("largest-contentful-paint"),
                                 value("total-blocking-time"), value("cumulative-layout-shift")];
                    lighthouseRuns[throttling][which].push(run);
                    say(`${throttling} ${which}: FCP ${run[0].toFixed(0)} LCP ${run[1].toFixed(0)} TBT ${run[2].toFixed(0)} CLS ${run[3].toFixed(3)}`);
                }
            }
        }
    } finally {
        await chrome.kill();
    }
}

// --- ticks and CPU ------------------------------------------------------------------------------
let idleRate, idleCpu, spinRate, frameRate, spinCpu;
if (!lighthouseOnly) {
    const page = await browser.newPage({ viewport });
    await page.goto(`${origin}/`);
    await page.waitForFunction(ProgramHasFitted);
    const cdp = await browser.newBrowserCDPSession();
    const rendererSeconds = async () => {
        const { processInfo } = await cdp.send("SystemInfo.getProcessInfo");
        return processInfo.filter((process) => process.type === "renderer")
            .reduce((sum, process) => sum + process.cpuTime, 0);
    };
    // -> [ticks a second, frames a second, per cent of a core], over 10 s; frames are counted only
    // while the names spin, since counting them would ask for frames the idle page does not.
    async function measure(countFrames) {
        if (countFrames)
            await page.evaluate(() => {
                window.framesSeen = 0;
                const count = () => { ++framesSeen; requestAnimationFrame(count); };
                requestAnimationFrame(count);
            });
        const read = () => page.evaluate(() => [Module._kazerima_ticks(), window.framesSeen || 0, performance.now()]);
        const [ticks0, frames0, time0] = await read();
        const cpu0 = await rendererSeconds();
        await sleep(10000);
        const [ticks1, frames1, time1] = await read();
        const cpu1 = await rendererSeconds();
        const perSecond = (count) => 1000 * count / (time1 - time0);
        return [perSecond(ticks1 - ticks0), perSecond(frames1 - frames0),
                100 * (cpu1 - cpu0) / ((time1 - time0) / 1000)];
    }
    say("ticks and renderer CPU, idle then spinning (2 x 10 s)");
    await sleep(1000);
    [idleRate, , idleCpu] = await measure(false);
    await page.click("#Command1");
    [spinRate, frameRate, spinCpu] = await measure(true);
}
await browser.close();
server.close();

const fixed = (value, digits = 1) => value.toFixed(digits);
console.log(`| web page: site size, bytes (${sizes.join(", ")}) | ${total} (gzip ${gzipped}) | | | < 250,000 |`);
if (!lighthouseOnly) {
    const pageMs = median(paints.page), floorMs = median(paints.floor);
    console.log(`| web page: load to first paint, ms | ${fixed(pageMs)} | ${fixed(floorMs)} | ${fixed(pageMs / floorMs, 2)} | ≤ 1.5 × floor |`);
    const [firstMs, returningMs] = [median(visits.first), median(visits.returning)];
    console.log(`| web page: first paint on a slow phone line, returning visit from the worker's copy, against the first visit, ms (median of 5) | ${fixed(returningMs, 0)} | ${fixed(firstMs, 0)} | ${fixed(returningMs / firstMs, 2)} | ≤ 1 × first visit |`);
}
for (const throttling of Object.keys(throttlings)) {
    const lighthouseMedian = (which, index) => median(lighthouseRuns[throttling][which].map((run) => run[index]));
    const row = (metric, index, digits, target, ratio = true) => {
        const pageValue = lighthouseMedian("page", index), floorValue = lighthouseMedian("floor", index);
        console.log(`| web page: Lighthouse phone, ${throttling}, ${metric} (median of 3) | ${fixed(pageValue, digits)} | ${fixed(floorValue, digits)} | ${ratio ? fixed(pageValue / floorValue, 2) : ""} | ${target} |`);
    };
    const paintTarget = throttling === "applied" ? "≤ 1.2 × floor" : "≤ 1.5 × floor";
    row("first contentful paint, ms", 0, 0, paintTarget);
    row("largest contentful paint, ms", 1, 0, paintTarget);
    if (throttling === "applied") {
        for (const [metric, index] of [["first", 0], ["largest", 1]]) {
            const pageValue = lighthouseMedian("page", index), plainValue = lighthouseMedian("plain", index);
            console.log(`| web page: Lighthouse phone, applied, ${metric} contentful paint against a plain page of the captions as text, ms (median of 3) | ${fixed(pageValue, 0)} | ${fixed(plainValue, 0)} | ${fixed(pageValue / plainValue, 2)} | ≤ 1.2 × plain |`);
        }
    }
    row("total blocking time, ms", 2, 0, "≤ 50", false);
    row("cumulative layout shift", 3, 3, "≤ 0.01", false);
}
if (!lighthouseOnly) {
    console.log(`| web page: names a second spinning, against the page's frames, over 10 s (idle: ticks a second) | ${fixed(spinRate)} (idle ${fixed(idleRate)}) | ${fixed(frameRate)} | ${fixed(spinRate / frameRate, 3)} | ≥ 0.95, ≤ 200/s |`);
    console.log(`| web page: renderer CPU idle / spinning, % of a core | ${fixed(idleCpu)} / ${fixed(spinCpu)} | | | |`);
}
