// Builds the page: runs the page's own program (kazerima.js) under Node over a small stand-in
// for the DOM, through its first frame, and writes the window it made into the page as markup,
// with the styles it set as a style sheet. A browser draws the window from the page's first
// bytes; the program, once it runs, takes over the elements it finds.
//
//     node prerender.mjs kazerima.js template.html script.js out.html style.css...
//
// The template's {{window}}, {{style}} and {{script}} take the markup, the style sheets (those
// named and the program's) and the page's first script; {{style-hash}} and {{script-hash}} the
// digests by which the page's policy lets exactly those two inline blocks through.

import { createHash } from "node:crypto";
import { readFileSync, writeFileSync } from "node:fs";
import { runInThisContext } from "node:vm";

const [program, template, script, out, ...sheets] = process.argv.slice(2);

class Style {
    properties = new Map();
    setProperty(name, value) {
        if (value === "")
            this.properties.delete(name);
        else
            this.properties.set(name, value);
    }
}

class Node {
    constructor(localName) {
        this.localName = localName;
        this.attributes = new Map();
        this.style = new Style();
        this.children = [];
        this.dataset = {};
    }
    // What page.js reaches for when it takes the markup's elements over: there are none yet.
    get firstElementChild() {
        return null;
    }
    appendChild(child) {
        this.children.push(child);
    }
    getAttribute(name) {
        return this.attributes.get(name) ?? null;
    }
    setAttribute(name, value) {
        this.attributes.set(name, value);
    }
    get textContent() {
        return this.children.map((child) => (child instanceof Node ? child.textContent : child)).join("");
    }
    set textContent(text) {
        this.children = [String(text)];
    }
    // An attribute that is there or not, as `hidden` and `checked` are.
    setFlag(name, on) {
        if (on)
            this.attributes.set(name, "");
        else
            this.attributes.delete(name);
    }
    set hidden(hidden) {
        this.setFlag("hidden", hidden);
    }
    get hidden() {
        return this.attributes.has("hidden");
    }
    // A form's state, which the markup gives as its defaults.
    get checked() {
        return this.attributes.has("checked");
    }
    set checked(on) {
        this.setFlag("checked", on);
    }
    get value() {
        return this.attributes.get("value") ?? "";
    }
    set value(text) {
        this.attributes.set("value", text);
    }
    // The first focus the program gives is the one the page opens with.
    focus() {
        if (!focused)
            this.attributes.set("autofocus", "");
        focused = true;
    }
    addEventListener() {}
    getBoundingClientRect() {
        return { left: 0, top: 0, right: 0, bottom: 0 };
    }
}

let focused = false;
const root = new Node("html");
const body = new Node("body");

const frames = [];
Object.assign(globalThis, {
    window: globalThis,
    document: {
        body,
        documentElement: Object.assign(root, { clientWidth: 0, clientHeight: 0 }),
        createElement: (name) => new Node(name),
        styleSheets: [],
        activeElement: body,
        title: "",
    },
    ResizeObserver: class { observe() {} },
    requestAnimationFrame: (frame) => frames.push(frame),
    devicePixelRatio: 1,
    outerWidth: 0,
    outerHeight: 0,
    location: { href: "file:///", protocol: "file:" },
});
Object.defineProperty(globalThis, "sessionStorage", { value: { getItem: () => null, setItem() {} } });

// The program starts in a few tasks, and asks for its first frame once it has made the window.
await new Promise((started) => {
    globalThis.Module = { onRuntimeInitialized: () => setTimeout(started) };
    runInThisContext(readFileSync(program, "utf8"), { filename: program });
});
for (let task = 0; !frames.length; ++task) {
    if (task === 10000)
        throw new Error("the program asked for no frame");
    await new Promise((next) => setTimeout(next));
}
for (const frame of frames.splice(0))
    frame(0);

const text = (characters) => characters.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;");
const quoted = (characters) => text(characters).replace(/"/g, "&quot;");
// Every element's styles become a rule for it: the page's policy refuses inline style attributes.
const rules = [];
const ruleFor = (selector, style) => {
    if (style.properties.size)
        rules.push(`${selector}{${[...style.properties].map(([name, value]) => `${name}:${value}`).join(";")}}`);
};
ruleFor(":root", root.style);
const markup = (node) => {
    if (!(node instanceof Node))
        return text(node);
    if (node.style.properties.size) {
        const look = String(rules.length);
        node.attributes.set("data-look", look);
        ruleFor(`[data-look="${look}"]`, node.style);
    }
    const attributes = [...node.attributes].map(([name, value]) =>
        value === "" ? ` ${name}` : ` ${name}="${quoted(value)}"`).join("");
    const open = `<${node.localName}${attributes}>`;
    return node.localName === "input" ? open : `${open}${node.children.map(markup).join("")}</${node.localName}>`;
};
const window = body.children.map(markup).join("");

const style = [...sheets.map((sheet) => readFileSync(sheet, "utf8").trim()), rules.join("\n")].join("\n");
const first = readFileSync(script, "utf8").trim();
const digest = (text) => `'sha256-${createHash("sha256").update(text).digest("base64")}'`;
const page = readFileSync(template, "utf8")
    .replace("{{style-hash}}", digest(style))
    .replace("{{script-hash}}", digest(first))
    .replace("{{style}}", () => style)
    .replace("{{script}}", () => first)
    .replace("{{window}}", () => window);
writeFileSync(out, page);
