// Measures the page in Debian's headless Chromium and prints rows of BENCHMARKS.md's table:
// the site's bytes, load to first paint against a floor page, the names a second against the
// page's frames, and the renderer's CPU idle and spinning.
//
//     node web.mjs path/to/build/web

import { chromium } from "../node_modules/playwright-core/index.mjs";
import { createServer } from "node:http";
import { readdir, readFile, stat } from "node:fs/promises";
import { extname, join, relative, resolve } from "node:path";
import { gzipSync } from "node:zlib";

const site = resolve(process.argv[2]);
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

// --- a host on this machine, serving the site and a floor page -------------------------------
let floorPage = "";
const server = createServer(async (request, response) => {
    const path = new URL(request.url, "http://localhost").pathname;
    if (path === "/floor.html") {
        response.writeHead(200, { "content-type": "text/html" });
        return response.end(floorPage);
    }
    try {
        const body = await readFile(join(site, decodeURIComponent(path).replace(/\/$/, "/index.html")));
        const type = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css" }[extname(path)];
        response.writeHead(200, type ? { "content-type": type } : {});
        response.end(body);
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

// The floor: the page as the program leaves it drawn, as static HTML with no program.
{
    const page = await browser.newPage({ viewport });
    await page.goto(`${origin}/`);
    await page.waitForSelector("#Command1");
    floorPage = await page.evaluate(() => {
        document.querySelectorAll("script, dialog").forEach((element) => element.remove());
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
say("load to first paint, page and floor (10 each, interleaved)");
const paints = { page: [], floor: [] };
for (let i = 0; i < 10; ++i) {
    paints.page.push(await firstPaint(`${origin}/`));
    paints.floor.push(await firstPaint(`${origin}/floor.html`));
}

// --- ticks and CPU ------------------------------------------------------------------------------
const page = await browser.newPage({ viewport });
await page.goto(`${origin}/`);
await page.waitForSelector("#Command1");
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
const [idleRate, , idleCpu] = await measure(false);
await page.click("#Command1");
const [spinRate, frameRate, spinCpu] = await measure(true);
await browser.close();
server.close();

const fixed = (value, digits = 1) => value.toFixed(digits);
const pageMs = median(paints.page), floorMs = median(paints.floor);
console.log(`| web page: site size, bytes (${sizes.join(", ")}) | ${total} (gzip ${gzipped}) | | | < 250,000 |`);
console.log(`| web page: load to first paint, ms | ${fixed(pageMs)} | ${fixed(floorMs)} | ${fixed(pageMs / floorMs, 2)} | ≤ 1.5 × floor |`);
console.log(`| web page: names a second spinning, against the page's frames, over 10 s (idle: ticks a second) | ${fixed(spinRate)} (idle ${fixed(idleRate)}) | ${fixed(frameRate)} | ${fixed(spinRate / frameRate, 3)} | ≥ 0.95, ≤ 200/s |`);
console.log(`| web page: renderer CPU idle / spinning, % of a core | ${fixed(idleCpu)} / ${fixed(spinCpu)} | | | |`);
