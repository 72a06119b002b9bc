// Builds the page: runs the page's own program (kazerima.js) under Node over a small stand-in
// for the DOM, through its first frame, and writes the window it made into the page as markup,
// with the styles it set as a style sheet. A browser draws the window from the page's first
// bytes; the program, once it runs, takes over the elements it finds. The program then runs once
// more, over the markup just written, as a browser's would: an element it does not find there,
// or one there it does not take over, fails the build.
//
//     node prerender.mjs kazerima.js template.html script.js out.html style.css...
//
// The template's {{window}}, {{style}} and {{script}} take the markup, the style sheets (those
// named and the program's) and the page's first script; {{style-hash}} and {{script-hash}} the
// digests by which the page's policy lets exactly those two inline blocks through; {{faces}} a
// preload of each face the style sheets embed. The script's
// {{listened}} takes the kinds of event the program listens to, which it keeps for the program
// until the program takes them.

import { createHash } from "node:crypto";
import { readFileSync, writeFileSync } from "node:fs";
import { createContext, runInContext } from "node:vm";

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
        this.parentNode = null;
        this.dataset = {};
    }
    get elementChildren() {
        return this.children.filter((child) => child instanceof Node);
    }
    get firstElementChild() {
        return this.elementChildren[0] ?? null;
    }
    get nextElementSibling() {
        const siblings = this.parentNode?.elementChildren ?? [];
        return siblings[siblings.indexOf(this) + 1] ?? null;
    }
    appendChild(child) {
        if (child instanceof Node)
            child.parentNode = this;
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
        if (!this.ownerDocument.focused)
            this.attributes.set("autofocus", "");
        this.ownerDocument.focused = true;
    }
    addEventListener() {}
    getBoundingClientRect() {
        return { left: 0, top: 0, right: 0, bottom: 0 };
    }
}

const unescaped = (characters) =>
    characters.replace(/&(amp|lt|gt|quot);/g, (_, name) => ({ amp: "&", lt: "<", gt: ">", quot: '"' })[name]);

// The body's elements back from markup as this script writes it.
function parse(markup, document) {
    const body = document.createElement("body");
    const open = [body];
    const token = /<\/([a-z]+)>|<([a-z]+)((?: [^\s=>]+(?:="[^"]*")?)*)>|([^<]+)/y;
    for (let match; token.lastIndex < markup.length;) {
        if (!(match = token.exec(markup)))
            throw new Error(`the window's markup cannot be read back at ${token.lastIndex}`);
        const [, close, tag, attributes, text] = match;
        if (close) {
            if (open.pop().localName !== close)
                throw new Error(`the window's markup closes <${close}> out of turn`);
        } else if (tag) {
            const element = document.createElement(tag);
            for (const [, name, value] of attributes.matchAll(/ ([^\s=>]+)(?:="([^"]*)")?/g))
                element.setAttribute(name, unescaped(value ?? ""));
            open.at(-1).appendChild(element);
            if (tag !== "input")
                open.push(element);
        } else {
            open.at(-1).appendChild(unescaped(text));
        }
    }
    if (open.length !== 1)
        throw new Error("the window's markup leaves elements open");
    return body;
}

// Runs the program through its first frame over a page whose body holds `markup`, and returns
// the page's document, with the elements the program made or took over (`taken`) and the kinds
// of event its listeners take (`listened`).
async function runProgram(markup) {
    const document = {
        createElement: (name) => Object.assign(new Node(name), { ownerDocument: document }),
        getElementById: (id) => {
            const find = (node) => (node.getAttribute("id") === id ? node
                : node.elementChildren.reduce((found, child) => found ?? find(child), null));
            return find(document.body);
        },
        styleSheets: [],
        title: "",
        focused: false,
    };
    document.documentElement = Object.assign(document.createElement("html"), { clientWidth: 0, clientHeight: 0 });
    document.body = markup ? parse(markup, document) : document.createElement("body");
    document.activeElement = document.body;
    const frames = [];
    const page = createContext({
        document,
        ResizeObserver: class { observe() {} },
        requestAnimationFrame: (frame) => frames.push(frame),
        devicePixelRatio: 1,
        outerWidth: 0,
        outerHeight: 0,
        location: { href: "file:///", protocol: "file:" },
        sessionStorage: { getItem: () => null, setItem() {} },
        setTimeout, clearTimeout, TextDecoder, performance, atob, console,
    });
    page.window = page;
    // The program starts in a few tasks, and asks for its first frame once it has made the window.
    await new Promise((started) => {
        page.Module = { onRuntimeInitialized: () => setTimeout(started) };
        runInContext(readFileSync(program, "utf8"), page, { filename: program });
    });
    for (let task = 0; !frames.length; ++task) {
        if (task === 10000)
            throw new Error("the program asked for no frame");
        await new Promise((next) => setTimeout(next));
    }
    for (const frame of frames.splice(0))
        frame(0);
    const taken = page.Module.kazerimaElements;
    const listened = new Set(taken.flatMap((element) => [...element.kazerimaListeners?.keys() ?? []]));
    return Object.assign(document, { taken: new Set(taken), listened });
}

const { body, documentElement: root, listened } = await runProgram();

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

// The take-over, as a browser's program runs it over the page: every element found (a missing
// one throws), and none left over.
{
    const { body, taken } = await runProgram(window);
    const left = [];
    const walk = (node) => node.elementChildren.forEach((child) => {
        if (!taken.has(child))
            left.push(`<${child.localName}${child.getAttribute("id") ? ` id="${child.getAttribute("id")}"` : ""}>`);
        walk(child);
    });
    walk(body);
    if (left.length)
        throw new Error(`the page's markup holds elements the program does not take over: ${left.join(", ")}`);
}

// The page carries its style sheets and first script without their comments and indentation: a
// phone on a slow line reads every byte before it paints. (No comment of ours is inside a string,
// and no string spans a line.)
const bare = (text, comment) => text.replace(comment, "").replace(/\n\s*/g, "\n").replace(/^\n+/, "");
const style = bare([...sheets.map((sheet) => readFileSync(sheet, "utf8")), rules.join("\n")].join("\n"), /\/\*[\s\S]*?\*\//g);
const first = bare(readFileSync(script, "utf8"), /^\s*\/\/.*$/gm).trim()
    .replace("{{listened}}", () => JSON.stringify([...listened]));
// Each face is read as the page's first bytes are, rather than once the first layout asks for it:
// a face that comes after the first layout holds the first paint back, then lays out anew the
// text it draws.
const faces = [...style.matchAll(/url\((data:font\/woff2;base64,[^)]*)\)/g)]
    .map(([, face]) => `<link rel="preload" as="font" type="font/woff2" crossorigin href="${face}">`).join("\n");
const digest = (text) => `'sha256-${createHash("sha256").update(text).digest("base64")}'`;
const page = readFileSync(template, "utf8")
    .replace("{{style-hash}}", digest(style))
    .replace("{{script-hash}}", digest(first))
    .replace("{{style}}", () => style)
    .replace("{{script}}", () => first)
    .replace("{{faces}}", () => faces)
    .replace("{{window}}", () => window);
writeFileSync(out, page);
