// The contents at the side of a modern page, put where the page loads its input's
// script. Each input's pages share that script, which holds this function and calls it
// with the input's contents: a list of entries, each
// [title as HTML, file or "" for a title without a page, entries under it]. The files
// are relative to that script's folder; the page names its own file in the script
// element's data-page, and its entry is marked.
function quillgenSidebar(tree) {
    var script = document.currentScript;
    if (!script)
        return;
    var nav = document.createElement("nav");
    nav.className = "qg-sidebar";
    nav.setAttribute("aria-label", "Contents");
    var src = script.getAttribute("src");
    var base = src.slice(0, src.lastIndexOf("/") + 1);
    var page = script.getAttribute("data-page");
    function list(entries) {
        var ul = document.createElement("ul");
        entries.forEach(function (entry) {
            var li = document.createElement("li");
            var label = document.createElement(entry[1] ? "a" : "span");
            if (entry[1]) {
                label.href = base + entry[1];
                if (entry[1] === page)
                    label.setAttribute("aria-current", "page");
            }
            label.innerHTML = entry[0];
            li.appendChild(label);
            if (entry[2] && entry[2].length)
                li.appendChild(list(entry[2]));
            ul.appendChild(li);
        });
        return ul;
    }
    nav.appendChild(list(tree));
    script.parentNode.insertBefore(nav, script);
}
