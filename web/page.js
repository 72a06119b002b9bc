// The page's side of the gate in page.cpp: an emscripten JavaScript library. Our elements live
// in one array, indexed by the numbers C++ holds; 0 is the page's body, 1 its root.
mergeInto(LibraryManager.library, {
    // A string the program passes, by its bytes and their count. The runtime's own reading goes
    // through script, a byte at a time, for a string as short as most of ours; a phone taking the
    // window over reads some eight hundred of them in its first tasks.
    $kazerimaDecoder: "=new TextDecoder()",
    $kazerimaString__deps: ["$kazerimaDecoder"],
    $kazerimaString: function (pointer, length) {
        return kazerimaDecoder.decode(HEAPU8.subarray(pointer, pointer + length));
    },

    // A string copied into the program's memory, for the program to read and free.
    $kazerimaCopy: function (value) {
        const size = lengthBytesUTF8(value) + 1;
        const pointer = _malloc(size);
        stringToUTF8(value, pointer, size);
        return pointer;
    },

    js_init: function () {
        Module.kazerimaElements = [document.body, document.documentElement];
        // A page built holds the window in its markup, for the program to take over; the build
        // itself runs the program over a page with none, to make it.
        Module.kazerimaTakesOver = document.body.firstElementChild !== null;
        // The styles the markup's sheet gives each element it holds, by the element's look (and
        // the root's): what the program sets again as it takes an element over is left alone,
        // so that its first frame has nothing to lay out anew. A value is compared as the browser
        // writes it back, by way of a style that belongs to no element.
        Module.kazerimaLooks = new Map();
        Module.kazerimaScratch = document.createElement("div").style;
        for (const sheet of document.styleSheets) {
            for (const rule of sheet.cssRules) {
                const look = /^\[data-look="(\d+)"\]$/.exec(rule.selectorText);
                if (look || rule.selectorText === ":root")
                    Module.kazerimaLooks.set(look ? look[1] : ":root", rule.style);
            }
        }
    },

    // The events the page's first script kept, each with the elements it passed through, reach
    // the program's listeners now, in order, as they would have then: on its target, and on its
    // way back up if it bubbles. From here on no event is kept: each reaches the listeners as it
    // comes, by the same rule, whatever moment of a press it is.
    js_take_events: function () {
        const kept = window.kazerimaKept || [];
        window.kazerimaKept = null;
        // (The build's minifier loses the loop's head to a pattern of names in its body.)
        for (const entry of kept) {
            const event = entry[0];
            for (const node of event.bubbles ? entry[1] : entry[1].slice(0, 1)) {
                const listener = node.kazerimaListeners && node.kazerimaListeners.get(event.type);
                if (listener)
                    listener(event);
            }
        }
    },

    // The page's markup holds the window as this program made it when the page was built: each
    // element the next element child of its parent, of the same tag, and with the same name
    // where the design names it. Anything else is an error: the page and the program came from
    // different builds, and a second window beside the first would be worse.
    js_create__deps: ["$kazerimaString"],
    js_create: function (parent, tag, tagLength, name, nameLength) {
        const elements = Module.kazerimaElements;
        const holder = elements[parent];
        const [localName, id] = [kazerimaString(tag, tagLength), kazerimaString(name, nameLength)];
        let element;
        if (Module.kazerimaTakesOver) {
            const next = holder.kazerimaNext === undefined ? holder.firstElementChild : holder.kazerimaNext;
            element = id ? document.getElementById(id) : next;
            if (!element || element !== next || element.localName !== localName) {
                const named = holder.getAttribute("id") || holder.getAttribute("class");
                throw new Error(`the page's markup has no <${localName}${id ? ` id="${id}"` : ""}> where ` +
                                `the program takes one over, in <${holder.localName}${named ? ` ${named}` : ""}>`);
            }
            holder.kazerimaNext = element.nextElementSibling;
        } else {
            element = document.createElement(localName);
            if (id)
                element.setAttribute("id", id);
            holder.appendChild(element);
        }
        elements.push(element);
        return elements.length - 1;
    },

    js_set_attribute__deps: ["$kazerimaString"],
    js_set_attribute: function (element, name, nameLength, value, valueLength) {
        const target = Module.kazerimaElements[element];
        const [attribute, text] = [kazerimaString(name, nameLength), kazerimaString(value, valueLength)];
        if (target.getAttribute(attribute) !== text)
            target.setAttribute(attribute, text);
    },

    js_set_style__deps: ["$kazerimaString"],
    js_set_style: function (element, property, propertyLength, value, valueLength) {
        const target = Module.kazerimaElements[element];
        const [name, text] = [kazerimaString(property, propertyLength), kazerimaString(value, valueLength)];
        const given = Module.kazerimaLooks.get(
            target === document.documentElement ? ":root" : target.dataset.look);
        if (given && !target.style.getPropertyValue(name)) {
            const scratch = Module.kazerimaScratch;
            scratch.setProperty(name, text);
            if (given.getPropertyValue(name) === scratch.getPropertyValue(name))
                return;
        }
        target.style.setProperty(name, text);
    },

    js_set_text__deps: ["$kazerimaString"],
    js_set_text: function (element, text, length) {
        const target = Module.kazerimaElements[element];
        const content = kazerimaString(text, length);
        if (target.textContent !== content)
            target.textContent = content;
    },

    js_set_hidden: function (element, hidden) {
        Module.kazerimaElements[element].hidden = hidden;
    },

    js_hidden: function (element) {
        return Module.kazerimaElements[element].hidden;
    },

    js_set_checked: function (element, checked) {
        Module.kazerimaElements[element].checked = checked;
    },

    js_checked: function (element) {
        return Module.kazerimaElements[element].checked;
    },

    js_set_value__deps: ["$kazerimaString"],
    js_set_value: function (element, value, length) {
        Module.kazerimaElements[element].value = kazerimaString(value, length);
    },

    // The caller frees what this returns.
    js_value__deps: ["$kazerimaCopy"],
    js_value: function (element) {
        return kazerimaCopy(Module.kazerimaElements[element].value);
    },

    js_focus: function (element, inPlace) {
        Module.kazerimaElements[element].focus({ preventScroll: inPlace });
    },

    js_has_focus: function (element) {
        return document.activeElement === Module.kazerimaElements[element];
    },

    js_show_start_when_left: function (element) {
        const field = Module.kazerimaElements[element];
        field.addEventListener("blur", () => {
            field.setSelectionRange(0, 0);
            field.scrollLeft = 0;
        });
    },

    js_set_title__deps: ["$kazerimaString"],
    js_set_title: function (title, length) {
        document.title = kazerimaString(title, length);
    },

    js_bounds: function (element, box) {
        const drawn = Module.kazerimaElements[element].getBoundingClientRect();
        [drawn.left, drawn.top, drawn.right, drawn.bottom].forEach((value, i) => {
            HEAPF64[(box >> 3) + i] = value;
        });
    },

    // Every listener forwards to the one entry point, kazerima_event, with what the program
    // reads of an event: the key, whether it is the press of the main pointer (a finger, a pen,
    // the mouse's main button), and a click's count (0 for the keyboard's activation).
    // The viewport's size is followed by observing the root, whose box is the layout viewport:
    // an observation comes once layout has taken the new size in, where a resize event may come
    // before it (WebKit, zoomed on a busy machine, reads the old size there). Until the program
    // takes events, the page's first script keeps them, and a listener leaves each to it.
    js_listen__deps: ["$kazerimaString"],
    js_listen: function (element, type, name, length, onViewport) {
        if (onViewport) {
            new ResizeObserver(() => Module._kazerima_event(element, type, 0, false, 0))
                .observe(document.documentElement);
            return;
        }
        const forward = (event) => {
            if (window.kazerimaKept)
                return;
            const press = event.isPrimary === true && event.button === 0;
            if (Module._kazerima_event(element, type, event.keyCode || 0, press, event.detail || 0))
                event.preventDefault();
        };
        const target = Module.kazerimaElements[element];
        const eventName = kazerimaString(name, length);
        if (!target.kazerimaListeners)
            target.kazerimaListeners = new Map();
        target.kazerimaListeners.set(eventName, forward);
        target.addEventListener(eventName, forward);
    },

    // What this tab keeps across a reload, as a browser keeps a form; nothing outlives the tab.
    // A page whose storage is refused (some private modes) keeps nothing. The caller frees what
    // this returns; 0 when nothing is kept under the key.
    js_session_value__deps: ["$kazerimaString", "$kazerimaCopy"],
    js_session_value: function (key, length) {
        let value = null;
        try {
            value = sessionStorage.getItem(kazerimaString(key, length));
        } catch (refused) {
        }
        return value === null ? 0 : kazerimaCopy(value);
    },

    js_set_session_value__deps: ["$kazerimaString"],
    js_set_session_value: function (key, keyLength, value, valueLength) {
        try {
            sessionStorage.setItem(kazerimaString(key, keyLength), kazerimaString(value, valueLength));
        } catch (refused) {
        }
    },

    js_show_modal: function (element) {
        Module.kazerimaElements[element].showModal();
    },

    js_close: function (element) {
        Module.kazerimaElements[element].close();
    },

    // The layout viewport: a pinch-zoom or a software keyboard changes only the visual one, so
    // the window grows with the fingers and keeps its size while a name is typed.
    js_viewport_width: function () {
        return document.documentElement.clientWidth;
    },

    js_viewport_height: function () {
        return document.documentElement.clientHeight;
    },

    js_device_pixel_ratio: function () {
        return window.devicePixelRatio;
    },

    js_window_width: function () {
        return window.outerWidth;
    },

    js_window_height: function () {
        return window.outerHeight;
    },
});
