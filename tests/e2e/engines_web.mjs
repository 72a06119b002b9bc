// Plays the page in the two other browser engines, Firefox (Debian's firefox-esr, over WebDriver
// BiDi) and WebKit (WebKitGTK's MiniBrowser, over WebDriver, on the X display it is given): a
// game by mouse and by keyboard, both boxes, the Content-Security-Policy, offline play and a
// copy opened from disk; and checks that each engine draws the controls as Chromium does. A
// browser's zoom, pressed on the X display, in all three; a pinch in Firefox.
//
//     xvfb-run node engines_web.mjs path/to/build/web

import { chromium } from "playwright-core";
import puppeteer from "puppeteer-core";
import { Builder, Key } from "selenium-webdriver";
import remote from "selenium-webdriver/remote/index.js";
import { execFileSync } from "node:child_process";
import { resolve } from "node:path";
import { captionsOver, check, decodePng, drawnInItsFaces, failures, fittedNow, framesDrawn, keptByWorker,
         ProbeDigest, ProbeScript, refusesInlineScript, report, startHost, waitFor } from "./web_support.mjs";

const site = resolve(process.argv[2]);

const host = await startHost(site, { policyReports: true });
// The design's size at 1:1. MiniBrowser's window is wider than that, so the page is shown in a
// frame of this size, on a page of the same host.
const width = 418, height = 371;
host.extra["/framed.html"] = `<!doctype html><body style="margin:0"><iframe src="/game/"
    width="${width}" height="${height}" style="border:0; display:block"></iframe></body>`;

// Each engine behind the same few calls: open an address, run a function in the page, click an
// element by id as a mouse would, press a key, type where the keyboard is, take a screenshot,
// start a reload.
// Firefox also pinches: WebDriver's touches go to the page, past the zooming a pinch does before
// the page sees it, so the pinch is a touchpad's, given to the browser's own window from its
// chrome (which the flag lets the driver reach).
function pinchOnWidget(scale) {
    const area = gBrowser.selectedBrowser.getBoundingClientRect();
    const [x, y] = [mozInnerScreenX + area.left + area.width / 2, mozInnerScreenY + area.top + area.height / 2]
        .map((value) => Math.round(value * devicePixelRatio));
    const [begin, update, end] = [0, 1, 2];
    windowUtils.sendNativeTouchpadPinch(begin, 1, x, y, 0);
    windowUtils.sendNativeTouchpadPinch(update, scale, x, y, 0);
    windowUtils.sendNativeTouchpadPinch(end, scale, x, y, 0);
}
async function firefox() {
    const browser = await puppeteer.launch({
        browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true,
        protocol: "webDriverBiDi", args: ["--remote-allow-system-access"],
    });
    let page;
    return {
        name: "Firefox",
        async open(address) {
            await page?.close();
            page = await browser.newPage();
            // Firefox reports here what the policy refuses, too: the probe's refusal names it.
            page.on("pageerror", (error) => {
                if (!error.message.includes(ProbeDigest))
                    failures.push(`Firefox: ${error.message}`);
            });
            await page.setViewport({ width, height });
            await page.goto(address);
        },
        run: (script, ...args) => page.evaluate(script, ...args),
        click: (id) => page.click(`[id="${id}"]`),
        key: (key) => page.keyboard.press(key),
        type: (text) => page.keyboard.type(text),
        screenshot: async () => decodePng(Buffer.from(await page.screenshot())),
        reload: () => page.reload(),
        async pinch(scale) {
            const { result } = await browser.connection.send("browsingContext.getTree", { "moz:scope": "chrome" });
            await browser.connection.send("script.evaluate", {
                expression: `(${pinchOnWidget})(${scale})`, target: { context: result.contexts[0].context },
                awaitPromise: false });
        },
        close: () => browser.close(),
    };
}

async function webkit() {
    const service = new remote.DriverService.Builder("/usr/bin/WebKitWebDriver").setLoopback(true);
    const driver = await new Builder()
        .withCapabilities({
            browserName: "MiniBrowser",
            "webkitgtk:browserOptions": {
                binary: "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser",
                args: ["--automation"],
            },
        })
        .usingServer(await service.build().start())
        .build();
    let framed = false;
    const into = async () => {
        await driver.switchTo().defaultContent();
        if (framed)
            await driver.switchTo().frame(0);
    };
    const element = (id) => driver.findElement({ id });
    const keys = { Enter: Key.ENTER, Escape: Key.ESCAPE, Tab: Key.TAB, Space: Key.SPACE,
                   Backspace: Key.BACK_SPACE };
    return {
        name: "WebKit",
        async open(address) {
            framed = address === host.url;
            await driver.get(framed ? `${host.origin}/framed.html` : address);
            await into();
        },
        run: (script, ...args) => driver.executeScript(`return (${script})(...arguments)`, ...args),
        click: async (id) => driver.actions().move({ origin: await element(id) }).click().perform(),
        key: (key) => driver.actions().sendKeys(keys[key]).perform(),
        type: (text) => driver.actions().sendKeys(text).perform(),
        async screenshot() {
            await driver.switchTo().defaultContent();
            const shot = decodePng(Buffer.from(await driver.takeScreenshot(), "base64"));
            await into();
            return shot;
        },
        reload: () => driver.executeScript("setTimeout(() => location.reload())"),
        windowClass: "MiniBrowser",
        close: () => driver.quit(),
    };
}

// --- what each control looks like in Chromium --------------------------------------------------
const drawn = ["Option2", "Option5", "Command1", "Command2", "Text1", "Frame2"];
const reference = {};
{
    const browser = await chromium.launch({ executablePath: "/usr/bin/chromium",
                                            args: ["--no-sandbox", "--disable-gpu"] });
    const page = await browser.newPage({ viewport: { width, height } });
    await page.goto(host.url);
    await page.waitForFunction(fittedNow);
    await page.evaluate(() => document.activeElement.blur());
    await page.evaluate(drawnInItsFaces);
    reference.window = decodePng(await page.screenshot());
    await page.locator("#Text1").fill("");
    await page.locator("#Command1").click();
    reference.box = decodePng(await page.screenshot());
    reference.ok = await page.evaluate(rectOf, ".box-ok");
    await browser.close();
}

// The rectangle an element takes, in CSS pixels of the page; a count button's is its label's.
function rectOf(selector) {
    const element = document.querySelector(selector);
    const box = (element.closest("label") ?? element).getBoundingClientRect();
    return [box.left, box.top, box.width, box.height].map(Math.round);
}

// The share of a rectangle's pixels that differ clearly from Chromium's. Glyph edges differ a
// little between engines' rasterisers; a control drawn by another theme differs all over.
function differing(shot, [left, top, w, h], expected, [expectedLeft, expectedTop] = [left, top]) {
    let count = 0;
    for (let y = 0; y < h; ++y) {
        for (let x = 0; x < w; ++x) {
            const a = shot.rgb(left + x, top + y), b = expected.rgb(expectedLeft + x, expectedTop + y);
            count += Math.max(...a.map((value, i) => Math.abs(value - b[i]))) > 64;
        }
    }
    return count / (w * h);
}
const MostlyAlike = 0.08;

// --- each engine --------------------------------------------------------------------------------
// What the box shows while it spins, and a little longer, for any name that should not be there.
const spinning = (engine) =>
    captionsOver(() => engine.run(() => document.getElementById("Label3").textContent), 200);
const colour = (engine) =>
    engine.run(() => getComputedStyle(document.getElementById("Label3")).backgroundColor);
const red = "rgb(255, 0, 0)";
// Whether the field is hidden soon: a count takes effect with the next frame.
const hiddenSoon = (engine, id) =>
    waitFor(`${id} to hide`, () => engine.run((id) => document.getElementById(id).hidden, id))
        .then(() => true, () => false);
const focused = (engine) => engine.run(() => document.activeElement.id || document.activeElement.textContent);
const openBox = (engine) => engine.run(() => document.querySelector("dialog[open]")?.textContent ?? "");
const typeOver = async (engine, id, text) => {
    await engine.run((id) => { const field = document.getElementById(id); field.focus(); field.select(); }, id);
    await engine.key("Backspace");
    if (text)
        await engine.type(text);
};
// Waits for the page's window fitted to the viewport, in a document newer than any reloaded.
const ready = (engine) =>
    waitFor("the page's window fitted to the viewport",
            () => engine.run(fittedNow).catch(() => false)); // between two documents
const reload = async (engine) => {
    await engine.run(() => { window.reloaded = true; });
    await engine.reload();
    await ready(engine);
};

const policyRefusesInlineScript = (engine) => engine.run(refusesInlineScript, ProbeScript);

// A browser's zoom, as its keys reach it from the X display (WebDriver's keys go to the page),
// stepped up past 150% and 200%: at each step the window grows by the zoom against the viewport,
// and all of it can be scrolled into view, its box shows all it holds with no scroll bar, and a
// reload, from the window scrolled to its far corner, keeps the zoom and opens at the window's
// top-left. 100% brings back the fit. Chromium and Firefox tell a
// zoom by the device pixels per CSS pixel, WebKit by its window's outer size.
const pressOnDisplay = (windowClass, key) => {
    const [window] = execFileSync("xdotool", ["search", "--onlyvisible", "--class", windowClass])
        .toString().trim().split("\n");
    execFileSync("xdotool", ["windowfocus", "--sync", window]);
    execFileSync("xdotool", ["key", key]);
};
// The version box, opened by keys: on a zoomed page, WebKit's driver clicked the menu open
// without effect.
async function checkBoxFits(name, run, key) {
    await run(() => document.getElementById("バージョン").focus());
    await key("Enter");
    await key("Enter");
    // Everything in the box lies within it, its text too, and the box within the viewport.
    const outside = await run(() => {
        const dialog = document.querySelector("dialog[open]");
        const within = (rect, box) => rect.left >= box.left - 0.5 && rect.top >= box.top - 0.5
            && rect.right <= box.right + 0.5 && rect.bottom <= box.bottom + 0.5;
        const box = dialog.getBoundingClientRect();
        const text = document.createRange();
        text.selectNodeContents(dialog);
        const parts = [...dialog.querySelectorAll("*")].map((part) => part.getBoundingClientRect());
        const root = document.documentElement;
        return [text.getBoundingClientRect(), ...parts].filter((rect) => rect.width && !within(rect, box)).length
            + (within(box, { left: 0, top: 0, right: root.clientWidth, bottom: root.clientHeight }) ? 0 : 1);
    });
    check(outside === 0, `${name}: ${outside} parts of the box lie outside it or the viewport`);
    await key("Enter");
}
// Where the window stands in the viewport and in what scrolls it, in CSS pixels; `inView` for
// each of the elements named, whether it lies wholly in the viewport.
function measureWindow(ids) {
    const root = document.documentElement, scroller = document.querySelector(".scroller");
    const box = document.querySelector("main").getBoundingClientRect();
    const inView = (id) => {
        const rect = document.getElementById(id).getBoundingClientRect();
        return rect.left >= -0.5 && rect.top >= -0.5 && rect.right <= scroller.clientWidth + 0.5
            && rect.bottom <= scroller.clientHeight + 0.5;
    };
    return { viewport: root.clientWidth, share: box.width / root.clientWidth,
             left: box.left, top: box.top, scrollLeft: scroller.scrollLeft, scrollTop: scroller.scrollTop,
             scrolls: getComputedStyle(scroller).overflow !== "hidden",
             inView: Object.fromEntries(ids.map((id) => [id, inView(id)])) };
}
// The window's corners and its two buttons, the first at the window's top-left, the last at its
// bottom-right.
const Corners = ["Text1", "Option2", "Command1", "Command2"];
async function checkZoom(name, { run, key }, windowClass, reload) {
    const measure = () => run(measureWindow, Corners);
    // The page has fitted the window to a viewport other than `viewport`.
    const fittedOther = (viewport) => waitFor(`${name} to zoom from a viewport ${viewport} wide`,
                                              async () => ![false, viewport].includes(await run(fittedNow)));
    const before = await measure();
    await checkBoxFits(name, run, key);
    let zoomed = before;
    for (const least of [1.2, 1.5, 2]) {
        while (before.viewport / zoomed.viewport < least - 0.01) {
            pressOnDisplay(windowClass, "ctrl+plus");
            await fittedOther(zoomed.viewport);
            zoomed = await measure();
        }
        const zoom = before.viewport / zoomed.viewport;
        const at = `${name} at ${Math.round(zoom * 100)}%`;
        check(Math.abs(zoomed.share / before.share - zoom) <= 0.02 * zoom,
              `${at}: the window grew ${(zoomed.share / before.share).toFixed(2)}×`);
        const reached = {};
        for (const [left, top] of [[0, 0], [1e6, 0], [0, 1e6], [1e6, 1e6]]) {
            await run(([left, top]) => document.querySelector(".scroller").scrollTo(left, top), [left, top]);
            Object.entries((await measure()).inView).forEach(([id, seen]) => { reached[id] ||= seen; });
        }
        check(zoomed.scrolls && Corners.every((id) => reached[id]),
              `${at}: the window cannot be scrolled to all of it: ${JSON.stringify({ zoomed, reached })}`);
        if (least !== 1.5)
            await checkBoxFits(at, run, key);
        await reload();
        const reloaded = await measure();
        check(Math.abs(reloaded.share - zoomed.share) < 0.005,
              `${at}, reloaded: the window fills ${reloaded.share.toFixed(3)} of the viewport, not ${zoomed.share.toFixed(3)}`);
        check(reloaded.scrollLeft === 0 && reloaded.scrollTop === 0 && reloaded.left >= -0.5
              && reloaded.top >= -0.5 && reloaded.inView.Text1,
              `${at}, reloaded: the window's top-left is not in view: ${JSON.stringify(reloaded)}`);
    }
    pressOnDisplay(windowClass, "ctrl+0");
    await fittedOther(zoomed.viewport);
    const back = await measure();
    check(Math.abs(back.share - before.share) < 0.005 && !back.scrolls,
          `${name}: at 100% again the window fills ${back.share.toFixed(3)} of the viewport, not ${before.share.toFixed(3)}`);
}
// Chromium and Firefox with windows of their own on the display, where keys can zoom them.
const onDisplay = [
    ["Chromium", "chromium", () => chromium.launch({
        executablePath: "/usr/bin/chromium", headless: false,
        args: ["--no-sandbox", "--disable-gpu", "--window-size=520,700"] })],
    ["Firefox", "firefox", () => puppeteer.launch({
        browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: false,
        protocol: "webDriverBiDi", defaultViewport: null, args: ["--width=520", "--height=700"] })],
];
for (const [name, windowClass, launch] of onDisplay) {
    const browser = await launch();
    const page = await browser.newPage({ viewport: null });
    await page.goto(host.url);
    await page.waitForFunction(fittedNow);
    const engine = { run: (script, ...args) => page.evaluate(script, ...args),
                     key: (key) => page.keyboard.press(key) };
    await checkZoom(name, engine, windowClass, async () => {
        await page.reload();
        await page.waitForFunction(fittedNow);
    });
    await browser.close();
}

for (const launch of [firefox, webkit]) {
    const engine = await launch();
    const name = engine.name;
    try {
        await engine.open(host.url);
        await ready(engine);

        // The controls as Chromium draws them, one by one, in their own faces.
        await engine.run(() => document.activeElement.blur());
        await engine.run(drawnInItsFaces);
        const window = await engine.screenshot();
        for (const id of drawn) {
            const share = differing(window, await engine.run(rectOf, `#${id}`), reference.window);
            check(share <= MostlyAlike, `${name}: ${id} differs from Chromium's in ${(100 * share).toFixed(1)}% of its pixels`);
        }

        // A game by mouse.
        await engine.click("Option2");
        check(await hiddenSoon(engine, "Text3") && await hiddenSoon(engine, "Text5"),
              `${name}: fields 3 to 5 still show after 2人`);
        await typeOver(engine, "Text1", "あかね");
        await typeOver(engine, "Text2", "ゆうた");
        await engine.click("Command1");
        const spun = await spinning(engine);
        check(spun.size === 2 && spun.has("あかね") && spun.has("ゆうた"),
              `${name}: the names typed did not spin: ${[...spun]}`);
        await engine.click("Command2");
        const picked = await engine.run(() => document.getElementById("Label3").textContent);
        check(await colour(engine) === red && spun.has(picked), `${name}: the stop left "${picked}", ${await colour(engine)}`);
        await engine.run(framesDrawn, 10);
        check(await engine.run(() => document.getElementById("Label3").textContent) === picked,
              `${name}: the pick changed after the stop`);

        // The missing-name box holds the keyboard, and its OK is drawn as in Chromium.
        await typeOver(engine, "Text1", "");
        await engine.click("Command1");
        check(await waitFor("the missing-name box", () => openBox(engine)).catch(() => "")
              .then((text) => text.includes("名前を登録して下さい")), `${name}: no missing-name box`);
        check(await focused(engine) === "OK", `${name}: the box's OK does not have the focus`);
        // Where the box stands may differ by a rounding; its OK's size may not.
        const ok = await engine.run(rectOf, ".box-ok");
        check(ok[2] === reference.ok[2] && ok[3] === reference.ok[3], `${name}: OK is ${ok}, not ${reference.ok}`);
        const share = differing(await engine.screenshot(), ok, reference.box, reference.ok);
        check(share <= MostlyAlike, `${name}: the box's OK differs from Chromium's in ${(100 * share).toFixed(1)}% of its pixels`);
        await engine.key("Escape");
        check(await openBox(engine) === "", `${name}: Escape left the box open`);

        // The version box, from its menu.
        await engine.click("バージョン");
        await engine.click("Ver");
        check((await openBox(engine)).includes("ﾊﾞｰｼﾞｮﾝ1.0"), `${name}: no version box`);
        await engine.key("Enter");
        check(await openBox(engine) === "", `${name}: Enter left the version box open`);

        // A long name shows from its beginning once the keyboard leaves its field.
        await typeOver(engine, "Text2", "Wolfeschlegelsteinhausenbergerdorff");
        await engine.key("Tab");
        check(await engine.run(() => document.getElementById("Text2").scrollLeft) === 0,
              `${name}: a long name's field still shows its end after Tab`);
        await typeOver(engine, "Text2", "ゆうた");

        // By keyboard alone.
        await typeOver(engine, "Text1", "あかね");
        await engine.run(() => document.getElementById("Command1").focus());
        await engine.key("Space");
        check((await spinning(engine)).size === 2, `${name}: Space on スタート started no spin`);
        await engine.key("Tab");
        check(await focused(engine) === "Command2", `${name}: Tab from スタート reached ${await focused(engine)}`);
        await engine.key("Enter");
        check(await colour(engine) === red, `${name}: Enter on ストップ did not stop`);

        // The policy is in force, and refuses nothing of the page's own.
        host.cspReports.length = 0;
        check(await policyRefusesInlineScript(engine), `${name}: the Content-Security-Policy is not in force`);
        await waitFor("the policy's report of the probe", () => host.cspReports.length > 0).catch(() => {});
        const refused = host.cspReports.filter((report) => report["blocked-uri"] !== "inline");
        check(host.cspReports.length > 0 && refused.length === 0,
              `${name}: the policy reported ${JSON.stringify(host.cspReports)}`);

        // Offline after one visit, once the worker keeps the site.
        check(await engine.run(keptByWorker), `${name}: no worker keeps the site`);
        await reload(engine);
        host.down = true;
        await reload(engine);
        await engine.click("Command1");
        check(await engine.run(() => !!navigator.serviceWorker.controller)
              && (await spinning(engine)).size >= 2, `${name}: offline, the game did not play`);
        host.down = false;

        // A copy opened from disk.
        await engine.open(`file://${site}/index.html`);
        await ready(engine);
        check(await policyRefusesInlineScript(engine), `${name}: opened from disk, the policy is not in force`);
        await engine.click("Command1");
        check((await spinning(engine)).size >= 2, `${name}: opened from disk, the game did not play`);

        // A pinch enlarges the window rather than refitting it, as in Chromium.
        if (engine.pinch) {
            await engine.open(host.url);
            await ready(engine);
            const placement = () => engine.run(() => JSON.stringify(document.querySelector("main").getBoundingClientRect()));
            const before = await placement();
            await engine.pinch(2);
            await waitFor(`${name} to pinch`, () => engine.run(() => visualViewport.scale > 1.99));
            await engine.run(framesDrawn, 10);
            check(await placement() === before, `${name}: a pinch refitted the window: ${before} became ${await placement()}`);
        }

        if (engine.windowClass) {
            await engine.open(`${host.url}?unframed`);
            await ready(engine);
            await checkZoom(name, engine, engine.windowClass, () => reload(engine));
        }
    } finally {
        await engine.close();
    }
}

await host.close();
report("the page in Firefox and WebKit: " +
       "drawn as in Chromium, played by mouse and keyboard, boxes, policy, offline, from disk; " +
       "a browser's zoom in all three, a pinch in Firefox");
