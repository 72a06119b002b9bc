// Audits the page with the web's own accessibility tools, in Debian's Chromium: axe-core at a
// desktop's size and at a phone's, with nothing open, with a menu open and with a box open,
// WCAG 2.2 A and AA and axe's best practices; and Lighthouse's accessibility score for phones
// and for desktops, which must be 100.
//
//     node audit_web.mjs path/to/build/web

import { chromium } from "playwright-core";
import { AxeBuilder } from "@axe-core/playwright";
import lighthouse from "lighthouse";
import * as chromeLauncher from "chrome-launcher";
import { resolve } from "node:path";
import { check, fittedNow, framesDrawn, report, startHost } from "./web_support.mjs";

const site = resolve(process.argv[2]);
const host = await startHost(site);

// --- axe-core ---------------------------------------------------------------------------------
const browser = await chromium.launch({ executablePath: "/usr/bin/chromium",
                                        args: ["--no-sandbox", "--disable-gpu"] });
const sizes = {
    desktop: { viewport: { width: 418, height: 371 } },
    phone: { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true,
             hasTouch: true },
};
const states = {
    "nothing open": async () => {},
    "a menu open": (page) => page.locator("#メニュー").click(),
    "a box open": async (page) => {
        await page.locator("#バージョン").click();
        await page.locator("#Ver").click();
    },
};
for (const [size, options] of Object.entries(sizes)) {
    for (const [state, reach] of Object.entries(states)) {
        // axe runs as a script of its own in the page, which the page's policy would refuse.
        const context = await browser.newContext({ ...options, bypassCSP: true });
        const page = await context.newPage();
        await page.goto(host.url);
        await page.waitForFunction(fittedNow);
        await reach(page);
        await page.evaluate(framesDrawn, 2); // what the press opened, drawn
        const { violations } = await new AxeBuilder({ page })
            .withTags(["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22aa", "best-practice"])
            .analyze();
        for (const violation of violations) {
            const where = violation.nodes.map((node) => `${node.target} (${node.failureSummary.split("\n")[1]?.trim()})`);
            check(false, `axe, ${size}, ${state}: ${violation.id}: ${where.join("; ")}`);
        }
        await context.close();
    }
}
await browser.close();

// --- Lighthouse -------------------------------------------------------------------------------
const chrome = await chromeLauncher.launch({
    chromePath: "/usr/bin/chromium",
    chromeFlags: ["--headless=new", "--no-sandbox", "--disable-gpu"],
});
try {
    for (const formFactor of ["mobile", "desktop"]) {
        const settings = formFactor === "desktop"
            ? { formFactor, screenEmulation: { mobile: false, width: 1350, height: 940, deviceScaleFactor: 1, disabled: false } }
            : { formFactor };
        const { lhr } = await lighthouse(host.url, { port: chrome.port, onlyCategories: ["accessibility"],
                                                     logLevel: "error" }, { extends: "lighthouse:default", settings });
        const score = Math.round(100 * lhr.categories.accessibility.score);
        const failed = Object.values(lhr.audits).filter((audit) => audit.score === 0).map((audit) => audit.id);
        check(score === 100, `Lighthouse, ${formFactor}: accessibility ${score} (${failed.join(", ")})`);
    }
} finally {
    await chrome.kill();
}

await host.close();
report("the page: no axe violation at either size, " +
       "in any state; Lighthouse accessibility 100 on phones and desktops");
