// Put into every page quillgen-preview sends. Hears of each render over a WebSocket:
// reloads the page when the render changed it (or a picture, stylesheet or script it
// shows), keeping where it was scrolled to; shows the render's warnings in a panel at
// the top and the pages it changed in a box at the bottom. Everything it draws lives in
// a shadow root, so that the page's own styles and the drawing stay apart.
(function () {
    'use strict';
    var script = document.currentScript;
    // The render the page was sent after; a later one that changed it means reload.
    var seen = Number(script && script.dataset.render) || 0;
    var here = decodeURIComponent(location.pathname);
    var scrollKey = 'quillgen-preview-scroll ' + here;
    var dismissed = 0; // the render whose panel was closed

    var saved = sessionStorage.getItem(scrollKey);
    if (saved !== null) {
        sessionStorage.removeItem(scrollKey);
        var at = saved.split(' ');
        var restore = function () { window.scrollTo(Number(at[0]), Number(at[1])); };
        if (document.readyState === 'complete')
            restore();
        else
            window.addEventListener('load', restore);
    }

    var style =
        ':host{all:initial}' +
        '.panel,.changed{position:fixed;z-index:2147483647;font:14px/1.4 system-ui,sans-serif;' +
        'color:#1b1b1b;background:#fff8e1;border:1px solid #c89b00;box-shadow:0 2px 8px #0004}' +
        '.panel{top:0;left:0;right:0;max-height:40vh;overflow:auto;padding:8px 40px 8px 12px}' +
        '.panel.failed{background:#fdecea;border-color:#b3261e}' +
        '.changed{bottom:8px;right:8px;max-width:40ch;max-height:30vh;overflow:auto;' +
        'padding:6px 32px 6px 10px;background:#eef4ff;border-color:#3367d6}' +
        'h2{font-size:14px;margin:0 0 4px}ul{margin:0;padding-left:1.2em}' +
        'li{font-family:ui-monospace,monospace;font-size:13px;white-space:pre-wrap}' +
        'a{color:#0b57d0}button{position:absolute;top:4px;right:6px;font:18px/1 sans-serif;' +
        'border:0;background:none;cursor:pointer;color:inherit}' +
        '@media (prefers-color-scheme:dark){.panel{background:#3a3000;color:#f5f5f5}' +
        '.panel.failed{background:#4a1512}.changed{background:#14243f;color:#f5f5f5}' +
        'a{color:#a8c7fa}}';

    var host = document.createElement('div');
    host.id = 'quillgen-preview';
    var shadow = host.attachShadow({ mode: 'open' });
    shadow.innerHTML = '<style>' + style + '</style>' +
        '<section class="panel" role="status" hidden><h2></h2><ul></ul>' +
        '<button type="button" aria-label="Close the warnings">\u00d7</button></section>' +
        '<nav class="changed" aria-label="Pages changed by the last render" hidden>' +
        '<h2>Changed by the last render</h2><ul></ul>' +
        '<button type="button" aria-label="Close the list of changed pages">\u00d7</button></nav>';
    var panel = shadow.querySelector('.panel');
    var changedBox = shadow.querySelector('.changed');
    panel.querySelector('button').addEventListener('click', function () {
        panel.hidden = true;
        dismissed = seen;
    });
    changedBox.querySelector('button').addEventListener('click', function () {
        changedBox.hidden = true;
    });
    (document.body || document.documentElement).appendChild(host);

    function item(list, text, href) {
        var li = document.createElement('li');
        if (href) {
            var a = document.createElement('a');
            a.href = href;
            a.textContent = text;
            li.appendChild(a);
        } else {
            li.textContent = text;
        }
        list.appendChild(li);
    }

    // Whether the page shows the file at path (a picture, stylesheet or script).
    function shows(path) {
        var elements = document.querySelectorAll('img[src],link[href],script[src]');
        for (var i = 0; i < elements.length; ++i) {
            var url = elements[i].src || elements[i].href;
            if (url && decodeURIComponent(new URL(url, location.href).pathname) === path)
                return true;
        }
        return false;
    }

    function needsReload(changed) {
        for (var i = 0; i < changed.length; ++i) {
            var path = decodeURIComponent(changed[i]);
            if (path === here || (!/\.html?$/.test(path) && shows(path)))
                return true;
        }
        return false;
    }

    function draw(render) {
        var problems = render.warnings.slice();
        if (render.error)
            problems.push('error: ' + render.error);
        var list = panel.querySelector('ul');
        list.textContent = '';
        problems.forEach(function (line) {
            // As the warnings are printed, less the word the panel's title says.
            item(list, line.replace(/: warning: /, ': '));
        });
        var count = render.warnings.length;
        panel.querySelector('h2').textContent = render.error
            ? 'The last render failed'
            : count + (count === 1 ? ' warning' : ' warnings') + ' from the last render';
        panel.classList.toggle('failed', !!render.error);
        panel.hidden = problems.length === 0 || dismissed === render.render;

        var pages = render.changed.filter(function (p) { return /\.html?$/.test(p); });
        var links = changedBox.querySelector('ul');
        links.textContent = '';
        pages.slice(0, 50).forEach(function (p) {
            item(links, decodeURIComponent(p).replace(/^\//, ''), p);
        });
        if (pages.length > 50)
            item(links, 'and ' + (pages.length - 50) + ' more');
        changedBox.hidden = pages.length === 0;
    }

    function connect() {
        var socket = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') +
                                   location.host + '/.quillgen-preview/socket');
        socket.onmessage = function (event) {
            var render = JSON.parse(event.data);
            // A render numbered below what the page saw comes from a preview started
            // again, which may have changed anything meanwhile.
            if (render.render < seen ||
                (render.render > seen && needsReload(render.changed))) {
                sessionStorage.setItem(scrollKey, window.scrollX + ' ' + window.scrollY);
                location.reload();
                return;
            }
            seen = Math.max(seen, render.render);
            draw(render);
        };
        // The preview stopped or restarted: try again now and then.
        socket.onclose = function () { setTimeout(connect, 1000); };
    }
    connect();
})();
