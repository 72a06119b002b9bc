// The page's first script, inline, before the window's markup.

// Over http(s) the page can be installed and works offline; opened from a file it needs
// neither, and asking for them there would only fill the console with refusals. The worker
// copies the whole site: it starts once the page has loaded, so as not to slow it.
if (location.protocol === "http:" || location.protocol === "https:") {
    const manifest = document.createElement("link");
    manifest.rel = "manifest";
    manifest.href = "manifest.webmanifest";
    document.head.append(manifest);
    if ("serviceWorker" in navigator)
        addEventListener("load", () => navigator.serviceWorker.register("sw.js"));
}
// A reload opens at the window's top-left: a zoomed window scrolled elsewhere would otherwise be
// scrolled back there, over a window that may stand elsewhere now.
history.scrollRestoration = "manual";
// The window is drawn before its program is ready: until the program takes them, every event of
// the kinds it listens to (the build names them) is kept here, in order, with the elements it
// passed through, and the program handles them as it starts.
window.kazerimaKept = [];
for (const type of {{listened}})
    addEventListener(type, (event) => window.kazerimaKept?.push([event, event.composedPath()]), true);
