// Plays a short game on the page at a phone's size in headless Chromium and saves the screen.
// Usage: node scripts/screenshot-web.mjs build/web docs/screenshot-web.png
import { chromium } from "../node_modules/playwright-core/index.mjs";
import { resolve } from "node:path";

const [site, output] = process.argv.slice(2).map((path) => resolve(path));
const browser = await chromium.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking"],
});
const page = await browser.newPage({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 2,
                                      isMobile: true, hasTouch: true, locale: "ja-JP" });
await page.goto(`file://${site}/index.html`);
await page.locator("#Command1").tap();
await page.waitForTimeout(700);
await page.locator("#Command2").tap();
await page.waitForTimeout(100);
await page.screenshot({ path: output });
await browser.close();
