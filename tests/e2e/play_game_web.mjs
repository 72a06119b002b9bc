// Plays the page in Debian's Chromium as people would, at a desktop's size with a mouse and at
// a phone's with touch, and checks what they would see and hear: the design's window, a whole
// game, both boxes, a game by keyboard alone, offline play, a copy opened from disk.
//
//     node play_game_web.mjs path/to/build/web

import { chromium } from "../../node_modules/playwright-core/index.mjs";
import { readFile, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { captionsOver, check, decodePng, drawnInItsFaces, failures, fittedNow, framesDrawn, keptByWorker,
         ProbeDigest, ProbeScript, refusesInlineScript, report, startHost, waitFor } from "./web_support.mjs";

const site = resolve(process.argv[2]);

const host = await startHost(site);
const { url, requests, deployed } = host;

const browser = await chromium.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking",
           "--disable-component-update", "--no-first-run", "--disable-sync"],
});

const sizes = {
    desktop: { viewport: { width: 418, height: 371 } },
    phone: { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true,
             hasTouch: true },
};

// With `hold`, the page's start is held at a moment of its own until the returned `release` is
// called, and the page is returned as soon as its window is drawn: "program", its script held back,
// so that it has not run; "frames", its animation frames held, so that the program takes the window
// over and then waits for its first frame, having asked for it.
async function open(size, { locale = "ja-JP", address = url, hold } = {}) {
    const context = await browser.newContext({ ...sizes[size], locale });
    const page = await context.newPage();
    page.on("console", (message) => {
        if (message.type() === "error" && !message.text().includes(ProbeDigest))
            failures.push(`${size} ${locale}: console error: ${message.text()}`);
    });
    page.on("pageerror", (error) => failures.push(`${size} ${locale}: ${error.message}`));
    let release;
    if (hold === "program") {
        const held = new Promise((done) => { release = done; });
        await page.route("**/kazerima.js", async (route) => { await held; await route.continue(); });
    } else if (hold === "frames") {
        await page.addInitScript(() => {
            const request = window.requestAnimationFrame.bind(window);
            window.heldFrames = [];
            window.requestAnimationFrame = (frame) => (window.heldFrames ? window.heldFrames.push(frame) : request(frame));
            window.releaseFrames = () => {
                const held = window.heldFrames;
                window.heldFrames = null;
                held.forEach(request);
            };
        });
        release = () => page.evaluate(() => window.releaseFrames());
    }
    await page.goto(address, { waitUntil: hold ? "commit" : "load" });
    if (!hold)
        await page.waitForFunction(fittedNow);
    await page.locator("#Command1").waitFor();
    if (hold !== "frames")
        await page.evaluate(drawnInItsFaces);
    return { context, page, release };
}

const policyRefusesInlineScript = (page) => page.evaluate(refusesInlineScript, ProbeScript);

const result = (page) => page.locator("#Label3");
const colour = (page, id) =>
    page.evaluate((id) => getComputedStyle(document.getElementById(id)).backgroundColor, id);
const cyan = "rgb(0, 255, 255)", red = "rgb(255, 0, 0)";

// The colour on screen at one CSS pixel, as [red, green, blue], from a 1 x 1 screenshot.
const pixel = async (page, x, y) =>
    decodePng(await page.screenshot({ clip: { x, y, width: 1, height: 1 }, scale: "css" })).rgb(0, 0);

// Whether the element is hidden within a second: a count takes effect with the next frame.
const hiddenSoon = (page, selector) =>
    page.locator(selector).waitFor({ state: "hidden", timeout: 20000 }).then(() => true, () => false);

const spinning = (page, milliseconds) => captionsOver(() => result(page).textContent(), milliseconds);

// --- a whole game, with a mouse and with touch ------------------------------------------------
for (const size of ["desktop", "phone"]) {
    const { context, page } = await open(size);
    const press = (locator) => (size === "phone" ? locator.tap() : locator.click());
    check(await colour(page, "Label3") === cyan, `${size}: the result box is not cyan at start`);

    await press(page.getByRole("radio", { name: "2人" }));
    check(await hiddenSoon(page, "#Text3") && await hiddenSoon(page, "#Text5"),
          `${size}: fields 3 to 5 still show after 2人`);
    await page.getByRole("textbox", { name: "1人目の名前" }).fill("あかね");
    await page.getByRole("textbox", { name: "2人目の名前" }).fill("<b>ゆうた</b>");

    await press(page.getByRole("button", { name: "スタート" }));
    const spun = await spinning(page, 400);
    check(spun.size >= 2, `${size}: the names did not cycle (${[...spun]})`);
    check(await page.locator("#Label3 b").count() === 0, `${size}: a name was read as markup`);
    check(await page.locator(".announcer").textContent() === "",
          `${size}: something was announced while spinning`);

    await press(page.getByRole("button", { name: "ストップ" }));
    const picked = await result(page).textContent();
    check(await colour(page, "Label3") === red, `${size}: the result box is not red after Stop`);
    check(["あかね", "<b>ゆうた</b>"].includes(picked), `${size}: picked "${picked}"`);
    await page.evaluate(framesDrawn, 20);
    check(await result(page).textContent() === picked, `${size}: the pick changed after Stop`);
    check((await page.locator(".announcer").textContent()).startsWith(picked),
          `${size}: the pick was not announced`);

    // The same name picked again is said again: a live region speaks only what changed.
    const said = await page.locator(".announcer").textContent();
    for (const field of ["1人目の名前", "2人目の名前"])
        await page.getByRole("textbox", { name: field }).fill(picked);
    await press(page.getByRole("button", { name: "スタート" }));
    await page.evaluate(framesDrawn, 3);
    await press(page.getByRole("button", { name: "ストップ" }));
    const saidAgain = await page.locator(".announcer").textContent();
    check(saidAgain.startsWith(picked) && saidAgain !== said,
          `${size}: the same pick twice was not said again (${JSON.stringify([said, saidAgain])})`);

    // An empty name in use refuses the start with the critical box, which holds the keyboard.
    await page.getByRole("textbox", { name: "1人目の名前" }).fill("");
    await press(page.getByRole("button", { name: "スタート" }));
    const box = page.getByRole("dialog", { name: "名前入れてね" });
    check(await box.isVisible(), `${size}: no missing-name box`);
    check(await box.locator(".box-icon").isVisible(), `${size}: the missing-name box has no icon`);
    check(await box.locator(".box-prompt").textContent() === "名前を登録して下さい",
          `${size}: missing-name prompt`);
    check(await box.getByRole("button").count() === 1, `${size}: the box has more than one button`);
    check(await page.evaluate(() => document.activeElement.textContent) === "OK",
          `${size}: OK does not have the focus`);
    await page.keyboard.press("Escape");
    check(await box.isHidden(), `${size}: Escape left the box open`);

    // The version box, from its menu.
    await press(page.locator("#バージョン"));
    await press(page.getByRole("menuitem", { name: "バージョン" }).last());
    const version = page.getByRole("dialog", { name: "Kazerima" });
    const expected = ["     ﾊﾞｰｼﾞｮﾝ1.0", "", "ﾌﾟﾛﾃﾞｭｰｽ   Mavoru", "ﾌﾟﾛｸﾞﾗﾑ     Mavoru",
                      "企画         Mavoru", "Date         2002-11-23", "", "   Made in Quendal"];
    check(await version.locator(".box-prompt").textContent() === expected.join("\n"),
          `${size}: version text: ${JSON.stringify(await version.locator(".box-prompt").textContent())}`);
    check(await version.locator(".box-icon").isHidden(), `${size}: the version box has an icon`);
    await page.keyboard.press("Enter");
    check(await version.isHidden(), `${size}: Enter left the version box open`);
    await context.close();
}

// --- the window from the page's first bytes --------------------------------------------------
// Its script held back, the page shows the window as the program leaves it, fitted to the
// viewport.
for (const size of ["desktop", "phone"]) {
    const running = await open(size);
    const places = (page) => page.evaluate(() => JSON.stringify([...document.querySelectorAll("[id]")]
        .map((element) => [element.id, element.getBoundingClientRect()])));
    const [expected, drawn] = [await places(running.page), await running.page.screenshot()];
    await running.context.close();

    const { context, page } = await open(size, { hold: "program" });
    check(await places(page) === expected, `${size}: before its program, the window stands elsewhere`);
    check(differingPixels(await page.screenshot(), drawn) === 0,
          `${size}: before its program, the window is drawn otherwise`);
    await context.close();
}

// --- a press at any moment of the page's start counts, once -----------------------------------
// The program takes the window over, runs its first frame, and only then takes the events the
// page's first script kept meanwhile. Each moment is reached by the page's own state, however fast
// the machine: its script held back, the program has not run; its animation frames held, the
// program has taken the window over and waits for its first frame. A finger may go down at one
// moment and lift once the program takes the events. A name typed meanwhile stays, and a press
// acts as soon as the program is ready: within a few frames.
const takesEvents = () => window.kazerimaKept === null;
// A finger or the mouse put down in the middle of the element; returns what lifts it.
async function putDown(page, selector, how) {
    const box = await page.locator(selector).boundingBox();
    const [x, y] = [box.x + box.width / 2, box.y + box.height / 2];
    if (how === "mouse") {
        await page.mouse.move(x, y);
        await page.mouse.down();
        return () => page.mouse.up();
    }
    const cdp = await page.context().newCDPSession(page);
    await cdp.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x, y }] });
    return () => cdp.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
}
const moments = [
    ["before the program runs", "program", false],
    ["down before the program runs, up once it takes the events", "program", true],
    ["while the program waits for its first frame", "frames", false],
    ["down while the program waits for its first frame, up once it takes the events", "frames", true],
];
// What is pressed, and by what; what shows that it acted once, within a few frames of the
// program's taking the events.
const spinsNow = async (page) => {
    await page.evaluate(framesDrawn, 5);
    return await result(page).textContent() !== "" && (await spinning(page, 300)).size >= 2;
};
const presses = [
    ["スタート by finger", "phone", "#Command1", "touch", spinsNow],
    ["スタート by mouse", "desktop", "#Command1", "mouse", spinsNow],
    // A menu opened twice would be closed again.
    ["メニュー by finger", "phone", "#メニュー", "touch", async (page) => {
        await page.evaluate(framesDrawn, 5);
        return await page.locator("#メニュー").getAttribute("aria-expanded") === "true"
            && await page.locator("#Start").isVisible();
    }],
];
for (const [moment, hold, liftAfter] of moments) {
    for (const [what, size, selector, how, acted] of presses) {
        const { context, page, release } = await open(size, { hold });
        if (hold === "frames")
            await waitFor("the program to take the window over", () => page.evaluate(() => window.heldFrames.length > 0));
        await page.locator("#Text1").fill("みなみ");
        const lift = await putDown(page, selector, how);
        if (!liftAfter)
            await lift();
        await release();
        await page.waitForFunction(takesEvents);
        if (liftAfter)
            await lift();
        check(await acted(page), `${what}, ${moment}: did not act once, at once`);
        check(await page.locator("#Text1").inputValue() === "みなみ", `${what}, ${moment}: the name typed was lost`);
        await context.close();
    }
}
// The count chosen and スタート pressed before the program runs: the spin is over the count
// chosen. スタート by the keyboard, where the page opens with the focus.
for (const [size, press] of [["phone", (page) => page.locator("#Command1").tap()],
                             ["desktop", (page) => page.keyboard.press("Enter")]]) {
    const { context, page, release } = await open(size, { hold: "program" });
    await (size === "phone" ? page.locator("#Option2").tap() : page.locator("#Option2").click());
    await page.locator("#Command1").focus();
    await press(page);
    await release();
    await page.waitForFunction(takesEvents);
    const spun = await spinning(page, 400);
    check(await hiddenSoon(page, "#Text3") && spun.size === 2 && [...spun].every((name) => ["佐藤", "鈴木"].includes(name)),
          `${size}: 2人 and スタート before the program ran spun ${[...spun]}`);
    await context.close();
}

// --- made for fingers -----------------------------------------------------------------------
// A finger lands a little beside what it aims at: each control takes the taps of at least
// `reach` CSS pixels across and down through its middle. The window and its boxes scale together, and
// a pinch-zoom enlarges the window rather than refitting it.
{
    const { context, page } = await open("phone");
    const takesTaps = (selector, reach) => page.evaluate(([selector, reach]) => {
        // How far the control takes taps along each axis through its middle, in half pixels.
        const target = document.querySelector(selector);
        const drawn = target.getBoundingClientRect();
        const [x, y] = [drawn.left + drawn.width / 2, drawn.top + drawn.height / 2];
        const span = ([dx, dy]) => {
            let length = 0;
            for (const sign of [-1, 1]) {
                for (let step = 0.5; step <= reach; step += 0.5, length += 0.5) {
                    if (!target.contains(document.elementFromPoint(x + sign * dx * step, y + sign * dy * step)))
                        break;
                }
            }
            return length;
        };
        // Sampled every half pixel from the middle, a span falls up to half a pixel short.
        return span([1, 0]) >= reach - 0.5 && span([0, 1]) >= reach - 0.5;
    }, [selector, reach]);
    const rows = [["label:has(#Option2)", 24], ["label:has(#Option5)", 24], ["#Text1", 24], ["#Text2", 24],
                  ["#Command1", 44], ["#Command2", 44], ["#メニュー", 24], ["#バージョン", 24]];
    for (const [selector, reach] of rows)
        check(await takesTaps(selector, reach), `phone: ${selector} does not take a ${reach}-pixel square of taps`);
    await page.locator("#メニュー").tap();
    check(await takesTaps("#Stop", 44), "phone: an open menu's item does not take a 44-pixel square of taps");
    await page.locator("#メニュー").tap();
    await page.locator("#バージョン").tap();
    await page.locator("#Ver").tap();
    check(await takesTaps(".box-ok", 44), "phone: the box's OK does not take a 44-pixel square of taps");
    const scales = await page.evaluate((width) => [
        document.querySelector("main").getBoundingClientRect().width / width,
        document.querySelector(".box-ok").getBoundingClientRect().width / 75], sizes.desktop.viewport.width);
    check(Math.abs(scales[0] - scales[1]) < 0.01, `phone: the window is scaled ${scales[0]}, the box ${scales[1]}`);
    await page.keyboard.press("Escape");
    const placement = () => page.evaluate(() => JSON.stringify(document.querySelector("main").getBoundingClientRect()));
    const before = await placement();
    await (await context.newCDPSession(page)).send("Emulation.setPageScaleFactor", { pageScaleFactor: 2 });
    await page.evaluate(framesDrawn, 10);
    check(await placement() === before, `phone: a pinch-zoom refitted the window: ${before} became ${await placement()}`);
    await context.close();
}

// --- a name typed on a phone held sideways -------------------------------------------------------
// Some browsers shrink the viewport for the software keyboard: the window keeps its size, the
// field being typed in stays in view and readable, and all comes back when the keyboard goes.
{
    const { context, page } = await open("phone");
    await page.setViewportSize({ width: 844, height: 390 });
    await page.waitForFunction(fittedNow);
    const placement = () => page.evaluate(() => JSON.stringify(document.querySelector("main").getBoundingClientRect()));
    const fitted = await placement();
    await page.locator("#Text5").tap();
    await page.setViewportSize({ width: 844, height: 170 });
    await page.waitForFunction(fittedNow);
    const [top, bottom, textPixels] = await page.evaluate(() => {
        const field = document.getElementById("Text5");
        const box = field.getBoundingClientRect();
        return [box.top, box.bottom, parseFloat(getComputedStyle(field).fontSize)];
    });
    check(top >= 0 && bottom <= 170 && textPixels >= 12,
          `with the keyboard open the field typed in stands at ${top}–${bottom} of 170, its text ${textPixels} px`);
    await page.setViewportSize({ width: 844, height: 390 });
    await page.waitForFunction(fittedNow);
    check(await placement() === fitted, `the keyboard gone, the window stands at ${await placement()}, not ${fitted}`);
    await context.close();
}

// --- one name each frame, and the name on screen is the one picked -----------------------------
// The result box is read in every animation frame, after the program's own frame has run (its
// frames started first). The program writes the box only in its frames, so what the box holds
// when a press comes is what the screen showed.
const watchFrames = (page) => page.evaluate(() => {
    const box = document.getElementById("Label3");
    window.frames = [];
    const record = () => {
        frames.push([box.textContent, box.style.backgroundColor]);
        requestAnimationFrame(record);
    };
    requestAnimationFrame(record);
    for (const type of ["pointerdown", "keydown"])
        addEventListener(type, () => { window.onScreenAtPress = box.textContent; }, { capture: true });
});
const framesSeen = (page) => page.evaluate(() => frames.splice(0).map(([caption]) => caption));
// Run in the page: resolves once the box has changed its name, so that the spin is running.
const spinStarted = () => new Promise((done) => {
    const box = document.getElementById("Label3"), first = box.textContent;
    const next = () => (box.textContent !== first ? done(true) : requestAnimationFrame(next));
    next();
});

for (const [size, count] of [["desktop", 5], ["desktop", 3], ["phone", 5]]) {
    const { context, page } = await open(size);
    const names = ["佐藤", "鈴木", "高橋", "田中", "伊藤"].slice(0, count);
    if (count !== 5) {
        await page.getByRole("radio", { name: `${count}人` }).click();
        await hiddenSoon(page, "#Text4");
    }
    const start = page.locator("#Command1"), stop = page.locator("#Command2");
    await (size === "phone" ? start.tap() : start.click());
    await page.waitForFunction(spinStarted);
    await watchFrames(page);
    // Over thirty frames, however long a busy machine takes to run them.
    const shown = [];
    for (const end = Date.now() + 30000; shown.length <= 30 && Date.now() < end;) {
        await page.evaluate(framesDrawn, 10);
        shown.push(...await framesSeen(page));
    }
    let inOrder = shown.length > 30;
    for (let i = 1; i < shown.length; ++i)
        inOrder &&= names.indexOf(shown[i]) === (names.indexOf(shown[i - 1]) + 1) % count;
    check(inOrder, `${size}, ${count} names: the frames did not show the names in turn: ${shown.slice(0, 20)}`);
    let allInEveryWindow = true;
    for (let i = 0; i + count <= shown.length; ++i)
        allInEveryWindow &&= new Set(shown.slice(i, i + count)).size === count;
    check(allInEveryWindow, `${size}, ${count} names: ${count} frames in a row did not show all ${count}`);

    // Stops at odd moments, each the way a player would stop; the name on screen at the press
    // is the one that turns red.
    const stops = size === "phone"
        ? { touch: () => stop.tap() }
        : { mouse: () => stop.click(), key: async () => { await stop.focus(); await page.keyboard.press("Enter"); } };
    for (const [how, press] of Object.entries(stops)) {
        for (let round = 0; round < 3; ++round) {
            await page.evaluate(framesDrawn, 9 + 7 * round);
            await press();
            const picked = await result(page).textContent();
            const onScreen = await page.evaluate(() => window.onScreenAtPress);
            check(await colour(page, "Label3") === red && picked === onScreen,
                  `${size}, ${count} names, by ${how}: "${onScreen}" was on screen, "${picked}" turned ${await colour(page, "Label3")}`);
            await (size === "phone" ? start.tap() : start.click());
        }
    }
    if (size === "phone") {
        // A finger that slides along ストップ before it lifts still stops the names.
        const where = await stop.boundingBox();
        const cdp = await context.newCDPSession(page);
        const touch = (type, x) => cdp.send("Input.dispatchTouchEvent", {
            type, touchPoints: type === "touchEnd" ? [] : [{ x, y: where.y + where.height / 2 }] });
        const x = where.x + where.width / 3;
        await touch("touchStart", x);
        for (let step = 1; step <= 3; ++step)
            await touch("touchMove", x + 10 * step);
        await touch("touchEnd");
        check(await colour(page, "Label3") === red, "phone: a touch that slid 30 px on ストップ did not stop");
    }
    await context.close();
}

// --- the design at 1:1, and the same pixels in Japanese and in English ------------------------
// The pixels of two screenshots that differ by more than a shade: Chromium now and then
// rasterizes a round control's edge a few levels apart (seen: 4 pixels, 12 levels), while another
// face or a control moved by a pixel would differ in hundreds, by far more.
function differingPixels(one, other) {
    const [a, b] = [decodePng(one), decodePng(other)];
    if (a.width !== b.width || a.height !== b.height)
        return Infinity;
    let differing = 0;
    for (let y = 0; y < a.height; ++y) {
        for (let x = 0; x < a.width; ++x) {
            const [p, q] = [a.rgb(x, y), b.rgb(x, y)];
            differing += p.some((value, i) => Math.abs(value - q[i]) > 24) ? 1 : 0;
        }
    }
    return differing;
}
{
    const { context, page } = await open("desktop");
    check(await policyRefusesInlineScript(page), "the page's Content-Security-Policy is not in force");
    const designed = {
        Frame2: [16, 66, 73, 161], Frame1: [96, 66, 129, 161], Text1: [112, 98, 81, 25],
        Text5: [112, 194, 81, 25], Label2: [104, 82, 113, 17], Command1: [232, 74, 169, 49],
        Command2: [232, 130, 169, 49], Label1: [32, 26, 353, 33], Label3: [16, 234, 369, 113],
    };
    for (const [id, rect] of Object.entries(designed)) {
        const box = await page.locator(`#${id}`).boundingBox();
        check(JSON.stringify([box.x, box.y, box.width, box.height]) === JSON.stringify(rect),
              `${id} stands at ${JSON.stringify(box)}, not ${rect}`);
    }
    // The frames' etched lines show on the black: down Frame2's left side and across its top.
    for (const [x, y] of [[17, 150], [84, 73]]) {
        const [r, g, b] = await pixel(page, x, y);
        check(r + g + b > 300, `no frame line at (${x}, ${y}): ${[r, g, b]}`);
    }
    check(JSON.stringify(await pixel(page, 380, 340)) === "[0,255,255]", "the result box is not cyan on screen");
    const japanese = await page.screenshot();
    const english = await open("desktop", { locale: "en-US" });
    const inEnglish = await english.page.screenshot();
    if (!check(differingPixels(japanese, inEnglish) === 0, `the window is drawn differently under en-US and ja-JP (both in ${tmpdir()}/kazerima-e2e-*.png)`)) {
        await writeFile(join(tmpdir(), "kazerima-e2e-ja-JP.png"), japanese);
        await writeFile(join(tmpdir(), "kazerima-e2e-en-US.png"), inEnglish);
    }
    await english.context.close();
    await context.close();
}

// --- by keyboard alone ----------------------------------------------------------------------
{
    const { context, page } = await open("desktop");
    const focused = () => page.evaluate(() => document.activeElement.id);
    check(await focused() === "Command1", "focus does not start on スタート");
    const order = [];
    for (let i = 0; i < 8; ++i) {
        await page.keyboard.press("Tab");
        order.push(await focused());
    }
    check(order.join() === "Command2,Text1,Text2,Text3,Text4,Text5,Option5,メニュー",
          `Tab order: ${order}`);
    // By the page's own order, as assistive technology reads it, not by positive tabindex.
    check(await page.evaluate(() => [...document.querySelectorAll("[tabindex]")].every((e) => e.tabIndex <= 0)),
          "a control has a positive tabindex");
    await page.keyboard.press("Shift+Tab");
    await page.keyboard.press("ArrowUp"); // from 5人 to 4人: Text5 goes on the next tick
    check(await hiddenSoon(page, "#Text5"), "the arrows did not choose 4人");
    await page.keyboard.press("Shift+Tab");
    check(await focused() === "Text4", `Shift+Tab over the hidden field reached ${await focused()}`);
    await page.locator("#Command1").focus();
    await page.keyboard.press("Space");
    check((await spinning(page, 300)).size >= 2, "Space on スタート started no spin");
    await page.keyboard.press("Tab");
    await page.keyboard.press("Enter");
    check(await colour(page, "Label3") === red, "Enter on ストップ did not stop");
    // The menus: arrows, Enter, and Escape back to where the keyboard was.
    await page.locator("#メニュー").focus();
    await page.keyboard.press("ArrowRight");
    await page.keyboard.press("Enter");
    check(await focused() === "Ver", `Enter on バージョン's menu reached ${await focused()}`);
    await page.keyboard.press("Enter");
    check(await page.getByRole("dialog", { name: "Kazerima" }).isVisible(),
          "Enter on バージョン showed no box");
    await page.keyboard.press("Escape");
    await context.close();
}

// --- hostile names -----------------------------------------------------------------------------
{
    const { context, page } = await open("desktop");
    const long = "長".repeat(100000);
    await page.getByRole("radio", { name: "2人" }).click();
    await page.locator("#Text1").fill(long);
    await page.locator("#Text2").fill("שלום עולם");
    await page.locator("#Command1").click();
    const started = Date.now();
    const seen = await spinning(page, 500);
    check(Date.now() - started < 2000, "the page froze with a 100,000-character name");
    check([...seen].some((caption) => caption.startsWith("長長長")), "the long name never showed");
    await page.locator("#Command2").click();
    check((await page.locator("#Text1").inputValue()).length === 100000,
          "the long name lost characters");
    // A right-to-left name reads from the right, as on the desktop, and one too long for the
    // box keeps its beginning there.
    await page.locator("#Text1").fill("שלום abc 123 עולם");
    await page.locator("#Command1").click();
    await page.waitForFunction(() => document.getElementById("Label3").textContent.startsWith("שלום"));
    await page.locator("#Command2").click();
    const [first, box] = await page.evaluate(() => {
        const label = document.getElementById("Label3");
        const range = document.createRange();
        range.setStart(label.firstChild.firstChild, 0);
        range.setEnd(label.firstChild.firstChild, 1);
        const rect = (r) => [r.left, r.right];
        return [rect(range.getBoundingClientRect()), rect(label.getBoundingClientRect())];
    });
    check(first[0] >= box[0] && first[1] <= box[1] && first[1] > box[1] - 100,
          `a right-to-left name lost its beginning: its first letter at ${first}, the box at ${box}`);
    await context.close();
}

// --- offline after one visit, and no request outside the site --------------------------------
{
    const { context, page } = await open("desktop");
    check(await page.evaluate(keptByWorker), "no worker keeps the site");
    await page.reload();
    await page.waitForFunction(fittedNow);
    // Installable on a home screen: the manifest, its icons and the worker pass the browser's
    // own check (which names every fault it finds; that a test's browser context keeps nothing
    // is one, and says nothing of the page).
    const { installabilityErrors } = await (await context.newCDPSession(page)).send("Page.getInstallabilityErrors");
    check(installabilityErrors.filter((error) => error.errorId !== "in-incognito").length === 0, `not installable: ${JSON.stringify(installabilityErrors)}`);
    await context.setOffline(true);
    await page.reload();
    await page.waitForFunction(fittedNow);
    await page.locator("#Command1").click();
    check((await spinning(page, 300)).size >= 2, "offline, the game did not play");
    await context.close();
    const outside = requests.filter((path) => !path.startsWith("/game/"));
    check(outside.length === 0, `requests outside the site: ${outside}`);
}

// --- a new build reaches a visitor by the second load, whatever the host lets browsers keep ---
{
    const { context, page } = await open("desktop");
    await page.evaluate(() => navigator.serviceWorker.ready);
    const load = async () => { await page.reload(); await page.waitForFunction(fittedNow); };
    await load(); // now from the worker's copy
    deployed["/index.html"] = (await readFile(join(site, "index.html"), "utf8")).replace("<body>", '<body data-build="2">');
    deployed["/sw.js"] = (await readFile(join(site, "sw.js"), "utf8")).replace(/kazerima-\w+/, "kazerima-deployed");
    await load(); // finds the new worker, which takes the new build
    const onlyNewCopy = async () => JSON.stringify(await page.evaluate(() => caches.keys()));
    await waitFor("the worker to keep only the new copy",
                  async () => await onlyNewCopy() === '["kazerima-deployed"]').catch(() => {});
    check(await onlyNewCopy() === '["kazerima-deployed"]', `the worker's copies: ${await onlyNewCopy()}`);
    await load();
    check(await page.evaluate(() => document.body.dataset.build) === "2",
          "the new build's page was not in effect by the second load");
    for (const path of Object.keys(deployed))
        delete deployed[path];
    await context.close();
}

// --- the icons a phone puts on its home screen -----------------------------------------------
{
    const { context, page } = await open("phone");
    // What a phone masks to its own shape: opaque, and all of the picture inside the middle 80%
    // circle; the home-screen icon of Apple's phones: opaque.
    const manifest = JSON.parse(await readFile(join(site, "manifest.webmanifest"), "utf8"));
    const icons = await page.evaluate(async (manifest) => {
        const maskable = manifest.icons.find((icon) => icon.purpose === "maskable");
        const read = async (src) => {
            const image = new Image();
            image.src = src;
            await image.decode();
            const canvas = document.createElement("canvas");
            canvas.width = image.width;
            canvas.height = image.height;
            const context = canvas.getContext("2d");
            context.drawImage(image, 0, 0);
            const { data } = context.getImageData(0, 0, image.width, image.height);
            let transparent = 0, outsideSafeZone = 0;
            const centre = image.width / 2;
            for (let y = 0; y < image.height; ++y) {
                for (let x = 0; x < image.width; ++x) {
                    const at = 4 * (y * image.width + x);
                    transparent += data[at + 3] < 255;
                    const outside = Math.hypot(x + 0.5 - centre, y + 0.5 - centre) > 0.4 * image.width;
                    outsideSafeZone += outside && (data[at] !== data[0] || data[at + 1] !== data[1] || data[at + 2] !== data[2]);
                }
            }
            return { size: image.width, transparent, outsideSafeZone };
        };
        return { id: manifest.id, maskable: maskable && await read(maskable.src),
                 apple: await read(document.querySelector('link[rel="apple-touch-icon"]').href) };
    }, manifest);
    check(icons.id === "./", `the manifest's id: ${icons.id}`);
    check(icons.maskable && icons.maskable.transparent === 0 && icons.maskable.outsideSafeZone === 0,
          `the maskable icon: ${JSON.stringify(icons.maskable)}`);
    check(icons.apple.size === 180 && icons.apple.transparent === 0,
          `the apple-touch-icon: ${JSON.stringify(icons.apple)}`);
    await context.close();
}

// --- reload and Back keep what was typed and the count, in this tab only ---------------------
{
    const { context, page } = await open("desktop");
    await page.locator("#Text1").fill("美咲");
    await page.locator("#Text2").fill("健太");
    await page.getByRole("radio", { name: "2人" }).click();
    await page.reload();
    await page.waitForFunction(fittedNow);
    check(await page.locator("#Text1").inputValue() === "美咲" && await page.locator("#Text2").inputValue() === "健太",
          "a reload lost the names typed");
    check(await page.getByRole("radio", { name: "2人" }).isChecked() && await hiddenSoon(page, "#Text3"),
          "a reload lost the count chosen");
    await page.locator("#Command1").click();
    const spun = [...await spinning(page, 300)].filter((caption) => caption !== "");
    check(spun.length === 2 && spun.every((caption) => ["美咲", "健太"].includes(caption)),
          `after a reload the names kept did not spin: ${spun}`);
    check(await page.evaluate(() => localStorage.length === 0 && document.cookie === ""),
          "something was kept beyond the tab");
    const other = await context.newPage();
    await other.goto(url);
    await other.waitForFunction(fittedNow);
    check(await other.locator("#Text1").inputValue() === "佐藤", "another tab took this tab's names");
    await context.close();
}

// --- a copy opened from disk ------------------------------------------------------------------
{
    const { context, page } = await open("phone", { address: `file://${site}/index.html` });
    check(await policyRefusesInlineScript(page), "opened from disk, the Content-Security-Policy is not in force");
    await page.locator("#Command1").tap();
    check((await spinning(page, 300)).size >= 2, "opened from disk, the game did not play");
    await context.close();
}

await browser.close();
await host.close();
report("the page: played at desktop and phone sizes, " +
       "boxes, keyboard, design geometry, locales, hostile names, offline, from disk");
