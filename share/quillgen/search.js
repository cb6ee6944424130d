// The search page of a quillgen site. The index is a set of scripts in search-index/:
// term shards by prefix (quillgenShard) and the document table in chunks
// (quillgenDocuments). They are loaded with <script> elements, which browsers allow
// for pages opened from disk, where fetch and XMLHttpRequest are refused.
(function (global) {
    'use strict';

    var FINAL = '0123456789ABCDEFGHIJKLMNOPQRSTUV';
    var LEAD = 'WXYZabcdefghijklmnopqrstuvwxyz-_';
    var PAGE = 10; // results shown at a time
    var PREFIX_TERMS = 40; // terms a word being typed may stand for
    var MAX_PREFIX_SHARDS = 4; // shards the last word may load beyond its own
    var SNIPPET = 160; // characters a result shows of its page's text
    // A page's weight for a term holds NAME_WEIGHT when the term is the page's name (a
    // title of one word, as a declaration's). How a page meets the query ranks it first:
    // named by a word, then named by a word's beginning, then holding the words; the
    // score orders pages of one rank.
    var NAME_WEIGHT = 16, NAMED = 0, NAMED_BY_START = 1, HOLDS = 2;

    // The numbers of a postings string: base 32, the last digit of each number from FINAL.
    function decodeNumbers(text) {
        var numbers = [], value = 0;
        for (var i = 0; i < text.length; i++) {
            var c = text.charAt(i), d = FINAL.indexOf(c);
            if (d >= 0) {
                numbers.push(value * 32 + d);
                value = 0;
            } else {
                value = value * 32 + LEAD.indexOf(c);
            }
        }
        return numbers;
    }

    // The words of a query as the index splits them: each word (letters, digits and "_")
    // lower-cased, with its parts when it is a name joined by "_" or in camel case.
    function queryWords(text) {
        var words = [], re = /[\p{L}\p{N}_]+/gu, m;
        while ((m = re.exec(text)) !== null) {
            var word = m[0].replace(/^_+|_+$/g, '');
            if (word.length < 2)
                continue;
            var pieces = word.replace(/(\p{Ll})(\p{Lu})/gu, '$1_$2').split('_');
            var parts = pieces.length < 2 ? [] : pieces
                .filter(function (p) { return p.length >= 2; })
                .map(function (p) { return p.toLowerCase(); });
            words.push({ term: word.toLowerCase(), parts: parts, end: m.index + m[0].length });
        }
        return words;
    }

    // The file of a shard prefix, formed as the writer forms it.
    function shardFile(prefix) {
        var stem = 't';
        for (var i = 0; i < prefix.length; i++) {
            var c = prefix.charAt(i);
            stem += /[a-z0-9_]/.test(c) ? c : '-' + ('000' + c.charCodeAt(0).toString(16)).slice(-4);
        }
        return 'search-index/' + stem + '.js';
    }

    // site: the manifest that search.htm carries; load(file, done) runs a script file.
    function Engine(site, load) {
        this.site = site;
        this.load = load;
        this.shards = {}; // prefix -> sorted [term, documents, postings]
        this.chunks = {}; // chunk number -> documents
        this.packed = {}; // chunk number -> its excerpts as written
        this.excerpts = {}; // chunk number -> a promise of its excerpts
        this.pending = {};
    }

    Engine.prototype.receiveShard = function (prefix, terms) { this.shards[prefix] = terms; };
    Engine.prototype.receiveDocuments = function (n, docs, excerpts) {
        this.chunks[n] = docs;
        this.packed[n] = excerpts;
    };

    // Loads files once each; done runs when all have arrived (or failed).
    Engine.prototype.loadAll = function (files, done) {
        var self = this, left = files.length;
        if (left === 0)
            return done();
        files.forEach(function (file) {
            var waiting = self.pending[file];
            if (waiting === true)
                return --left || done();
            if (waiting) {
                waiting.push(function () { --left || done(); });
                return;
            }
            self.pending[file] = [function () { --left || done(); }];
            self.load(file, function () {
                var callbacks = self.pending[file];
                self.pending[file] = true;
                callbacks.forEach(function (f) { f(); });
            });
        });
    };

    // The shard that holds term: the longest prefix of it that the manifest names.
    Engine.prototype.shardOf = function (term) {
        for (var k = Math.min(term.length, this.site.prefix); k > 0; k--) {
            var key = term.slice(0, k);
            if (Object.prototype.hasOwnProperty.call(this.site.shards, key))
                return this.site.shards[key] ? key : null;
        }
        return null;
    };

    // The shards that may hold terms beginning with prefix. A short prefix of many
    // shards keeps to its own: typing "h" must not load half of the index.
    Engine.prototype.shardsFrom = function (prefix) {
        var own = this.shardOf(prefix), deeper = [];
        for (var key in this.site.shards)
            if (this.site.shards[key] && key.length > prefix.length && key.indexOf(prefix) === 0)
                deeper.push(key);
        var keys = deeper.length <= MAX_PREFIX_SHARDS ? deeper : [];
        return own ? [own].concat(keys) : keys;
    };

    Engine.prototype.entry = function (term) {
        var shard = this.shards[this.shardOf(term)];
        if (!shard)
            return null;
        var lo = 0, hi = shard.length - 1;
        while (lo <= hi) {
            var mid = (lo + hi) >> 1, t = shard[mid][0];
            if (t === term)
                return shard[mid];
            if (t < term)
                lo = mid + 1;
            else
                hi = mid - 1;
        }
        return null;
    };

    // document -> {score, rank} for one term entry: its weight (the name's aside) times
    // its rarity times factor; rank is named for the pages the term names, else HOLDS.
    Engine.prototype.scores = function (entry, factor, named) {
        var numbers = decodeNumbers(entry[2]), result = new Map(), doc = 0;
        var rarity = Math.log(1 + this.site.documents / entry[1]) * factor;
        for (var i = 0; i + 1 < numbers.length; i += 2) {
            doc += numbers[i];
            var weight = numbers[i + 1], name = weight >= NAME_WEIGHT;
            result.set(doc, {
                score: (name ? weight - NAME_WEIGHT : weight) * rarity,
                rank: name ? named : HOLDS
            });
        }
        return result;
    };

    function better(a, b) {
        return a.rank !== b.rank ? a.rank < b.rank : a.score > b.score;
    }

    // Finds the pages that hold every word of the query; the last word also finds the
    // names it begins, and when typed is set, every term it begins. done(results):
    // [document, score, rank], best first.
    Engine.prototype.search = function (query, typed, done) {
        var self = this, words = queryWords(query);
        if (words.length === 0)
            return done([]);
        var last = words[words.length - 1];
        var growing = typed && last.end === query.length;
        var files = {};
        words.forEach(function (w, i) {
            var keys = i === words.length - 1 ? self.shardsFrom(w.term) : [];
            [w.term].concat(w.parts).forEach(function (t) {
                var key = self.shardOf(t);
                if (key)
                    keys.push(key);
            });
            keys.forEach(function (key) { files[shardFile(key)] = true; });
        });
        this.loadAll(Object.keys(files), function () {
            var total = null;
            words.forEach(function (w, i) {
                var isLast = i === words.length - 1;
                var score = self.wordScores(w, isLast, growing && isLast);
                if (total === null) {
                    total = score;
                    return;
                }
                var both = new Map();
                total.forEach(function (s, doc) {
                    var t = score.get(doc);
                    if (t)
                        both.set(doc, { score: s.score + t.score, rank: Math.min(s.rank, t.rank) });
                });
                total = both;
            });
            var results = [];
            total.forEach(function (s, doc) { results.push([doc, s.score, s.rank]); });
            results.sort(function (a, b) { return a[2] - b[2] || b[1] - a[1] || a[0] - b[0]; });
            done(results);
        });
    };

    // One word's scores: the word itself; else all of its parts; the names it begins when
    // names is set; and, while it is being typed, the terms it begins, weighed less.
    Engine.prototype.wordScores = function (word, names, growing) {
        var self = this, result = new Map(), exact = this.entry(word.term);
        var add = function (scores, namedOnly) {
            scores.forEach(function (s, doc) {
                var had = result.get(doc);
                if ((!namedOnly || s.rank !== HOLDS) && (!had || better(s, had)))
                    result.set(doc, s);
            });
        };
        if (exact) {
            add(this.scores(exact, 1, NAMED));
        } else if (word.parts.length) {
            var all = null;
            word.parts.forEach(function (part) {
                var e = self.entry(part), s = e ? self.scores(e, 1, HOLDS) : new Map();
                if (all === null) {
                    all = s;
                    return;
                }
                var both = new Map();
                all.forEach(function (v, doc) {
                    if (s.has(doc))
                        both.set(doc, { score: v.score + s.get(doc).score, rank: HOLDS });
                });
                all = both;
            });
            add(all);
        }
        if (names || growing) {
            var begun = [];
            this.shardsFrom(word.term).forEach(function (key) {
                (self.shards[key] || []).forEach(function (e) {
                    if (e[0] !== word.term && e[0].indexOf(word.term) === 0)
                        begun.push(e);
                });
            });
            begun.sort(function (a, b) { return b[1] - a[1] || (a[0] < b[0] ? -1 : 1); });
            // Every name the word begins counts, however many terms it begins.
            begun.forEach(function (e, i) {
                add(self.scores(e, 0.5, NAMED_BY_START), !growing || i >= PREFIX_TERMS);
            });
        }
        return result;
    };

    // Where the words of a query stand in a text: [start, end, whole] for each place that
    // begins and ends as a term of the index does (the last word may end anywhere while it
    // is typed), the longest at a place, none overlapping, in order. whole: the place is a
    // query word itself, not one of its parts.
    var LETTER_OR_DIGIT = /[\p{L}\p{N}]/u, LOWER = /\p{Ll}/u, UPPER = /\p{Lu}/u;
    function boundary(text, i) {
        var before = text.charAt(i - 1), after = text.charAt(i);
        return !LETTER_OR_DIGIT.test(before) || !LETTER_OR_DIGIT.test(after) ||
            (LOWER.test(before) && UPPER.test(after));
    }
    function places(text, words, growing) {
        var found = [];
        words.forEach(function (w, i) {
            var open = growing && i === words.length - 1;
            [w.term].concat(w.parts).forEach(function (needle, k) {
                var re = new RegExp(needle, 'giu'), m;
                while ((m = re.exec(text)) !== null) {
                    var end = m.index + m[0].length;
                    if (boundary(text, m.index) && (boundary(text, end) || (open && k === 0)))
                        found.push([m.index, end, k === 0]);
                    re.lastIndex = m.index + 1;
                }
            });
        });
        found.sort(function (a, b) { return a[0] - b[0] || b[1] - a[1]; });
        var kept = [];
        found.forEach(function (p) {
            if (kept.length === 0 || p[0] >= kept[kept.length - 1][1])
                kept.push(p);
        });
        return kept;
    }

    // What a result shows of its page's text: about SNIPPET characters around the first
    // place that holds a word of the query (whole words before parts), else the opening;
    // as [text, marked] pieces with the query's words marked.
    function snippet(text, words, growing) {
        var all = places(text, words, growing);
        var first = all.filter(function (p) { return p[2]; })[0] || all[0];
        var from = 0;
        if (first && first[1] > SNIPPET * 2 / 3) {
            from = text.indexOf(' ', first[0] - SNIPPET / 3) + 1;
            if (from <= 0 || from > first[0])
                from = first[0];
        }
        var to = text.length;
        if (to - from > SNIPPET) {
            to = text.lastIndexOf(' ', from + SNIPPET);
            if (to < from + SNIPPET / 2)
                to = from + SNIPPET;
        }
        var pieces = [], at = from;
        if (from > 0)
            pieces.push(['\u2026 ', false]);
        all.forEach(function (p) {
            if (p[0] < at || p[1] > to)
                return;
            if (p[0] > at)
                pieces.push([text.slice(at, p[0]), false]);
            pieces.push([text.slice(p[0], p[1]), true]);
            at = p[1];
        });
        if (to > at)
            pieces.push([text.slice(at, to), false]);
        if (to < text.length)
            pieces.push([' \u2026', false]);
        return pieces;
    }

    // The excerpts of a chunk are zlib-compressed and in base64; a browser without
    // DecompressionStream shows results without them.
    function inflate(packed) {
        if (!packed || typeof DecompressionStream === 'undefined')
            return Promise.resolve([]);
        var binary = atob(packed), bytes = new Uint8Array(binary.length);
        for (var i = 0; i < binary.length; i++)
            bytes[i] = binary.charCodeAt(i);
        var stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate'));
        return new Response(stream).text().then(JSON.parse).catch(function () { return []; });
    }

    // Calls done with [link, title, excerpt] for each document number given.
    Engine.prototype.documents = function (numbers, done) {
        var self = this, chunk = this.site.chunk, files = {}, wanted = {};
        numbers.forEach(function (n) {
            wanted[Math.floor(n / chunk)] = true;
        });
        Object.keys(wanted).forEach(function (c) { files['search-index/d' + c + '.js'] = true; });
        this.loadAll(Object.keys(files), function () {
            var excerpts = {};
            Promise.all(Object.keys(wanted).map(function (c) {
                if (!self.excerpts[c])
                    self.excerpts[c] = inflate(self.packed[c]);
                return self.excerpts[c].then(function (list) { excerpts[c] = list; });
            })).then(function () {
                done(numbers.map(function (n) {
                    var c = Math.floor(n / chunk), d = self.chunks[c] && self.chunks[c][n % chunk];
                    if (!d)
                        return null;
                    var title = d[2] || decodeURIComponent(d[1]).replace(/\.htm$/, '');
                    return [self.site.folders[d[0]] + d[1], title, excerpts[c][n % chunk] || ''];
                }));
            });
        });
    };

    global.QuillgenSearch = {
        Engine: Engine, queryWords: queryWords, decodeNumbers: decodeNumbers, snippet: snippet
    };

    if (typeof document === 'undefined' || !global.quillgenSite)
        return;

    // The page.
    var engine = new Engine(global.quillgenSite, function (file, done) {
        var script = document.createElement('script');
        script.src = file;
        script.onload = script.onerror = function () {
            script.remove();
            done();
        };
        document.head.appendChild(script);
    });
    global.quillgenShard = function (prefix, terms) { engine.receiveShard(prefix, terms); };
    global.quillgenDocuments = function (n, docs, excerpts) {
        engine.receiveDocuments(n, docs, excerpts);
    };

    var form = document.querySelector('.qg-search-form');
    var input = document.getElementById('qg-query');
    var status = document.getElementById('qg-status');
    var list = document.getElementById('qg-results');
    var more = document.getElementById('qg-more');
    var generation = 0, results = [], shown = 0, currentWords = [], currentGrowing = false;

    function showMore(run, then) {
        var numbers = results.slice(shown, shown + PAGE).map(function (r) { return r[0]; });
        var first = shown;
        shown += numbers.length;
        more.hidden = shown >= results.length;
        engine.documents(numbers, function (docs) {
            if (run !== generation)
                return;
            docs.forEach(function (d) {
                if (!d)
                    return;
                var item = document.createElement('li');
                var link = document.createElement('a');
                link.href = d[0];
                link.textContent = d[1];
                var path = document.createElement('span');
                path.className = 'qg-path';
                path.textContent = ' ' + decodeURIComponent(d[0]);
                item.appendChild(link);
                item.appendChild(path);
                if (d[2]) {
                    // Text nodes and marks only: the page's text is never read as markup.
                    var p = document.createElement('p');
                    snippet(d[2], currentWords, currentGrowing).forEach(function (piece) {
                        var node = document.createTextNode(piece[0]);
                        if (piece[1]) {
                            var mark = document.createElement('mark');
                            mark.appendChild(node);
                            node = mark;
                        }
                        p.appendChild(node);
                    });
                    item.appendChild(p);
                }
                list.appendChild(item);
            });
            if (then)
                then(first);
        });
    }

    function run(typed) {
        var query = input.value, mine = ++generation;
        currentWords = queryWords(query);
        currentGrowing = typed && currentWords.length > 0 &&
            currentWords[currentWords.length - 1].end === query.length;
        if (currentWords.length === 0) {
            list.textContent = '';
            status.textContent = '';
            more.hidden = true;
            return;
        }
        engine.search(query, typed, function (found) {
            if (mine !== generation)
                return;
            results = found;
            shown = 0;
            list.textContent = '';
            status.textContent = found.length === 0 ? 'No page holds all of these words.'
                : found.length + (found.length === 1 ? ' page' : ' pages') + ' found.';
            showMore(mine);
        });
    }

    input.addEventListener('input', function () { run(true); });
    form.addEventListener('submit', function (event) {
        event.preventDefault();
        try {
            history.replaceState(null, '', '?q=' + encodeURIComponent(input.value));
        } catch (e) {
            // Some browsers refuse to change the address of a page opened from disk.
        }
        run(false);
    });
    more.addEventListener('click', function () {
        showMore(generation, function (first) {
            var link = list.querySelectorAll('a')[first];
            if (link)
                link.focus();
        });
    });
    // Arrow keys move between the field and the results; Escape goes back to the field.
    document.addEventListener('keydown', function (event) {
        var links = Array.prototype.slice.call(list.querySelectorAll('a'));
        var at = links.indexOf(document.activeElement);
        if (event.key === 'ArrowDown' && (document.activeElement === input || at >= 0)) {
            if (at + 1 < links.length)
                links[at + 1].focus();
            event.preventDefault();
        } else if (event.key === 'ArrowUp' && at >= 0) {
            (at > 0 ? links[at - 1] : input).focus();
            event.preventDefault();
        } else if (event.key === 'Escape' && at >= 0) {
            input.focus();
        }
    });

    // The field has the focus from the start, so that typing and the arrow keys work at
    // once, with a query from the address too.
    var q = new URLSearchParams(location.search).get('q');
    input.focus();
    if (q) {
        input.value = q;
        run(false);
    }
})(typeof window !== 'undefined' ? window : globalThis);
