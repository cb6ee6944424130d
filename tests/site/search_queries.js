// Runs the search page's own script, as search.htm carries it, over a written site and
// checks the first results of each query in a table.
// Usage: node search_queries.js SITE_FOLDER QUERIES_FILE
// QUERIES_FILE: "query<TAB>first results<TAB>snippet" lines. The results are pages
// separated by spaces, which must come first in any order ("-" for none); a query that
// starts with "~" is being typed, so its last word also finds the terms it begins. The
// snippet, when given, is text that the first result shows, its marked words in [ ].
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const [site, table] = process.argv.slice(2);
const page = fs.readFileSync(path.join(site, 'search.htm'), 'utf8');
const scripts = [...page.matchAll(/<script>([\s\S]*?)<\/script>/g)].map((m) => m[1]);
// What a browser gives the script to inflate the pages' excerpts.
const context = vm.createContext({ atob, Blob, Response, DecompressionStream });
scripts.forEach((s) => vm.runInContext(s, context));
const search = context.QuillgenSearch;
const engine = new search.Engine(context.quillgenSite, (file, done) => {
    vm.runInContext(fs.readFileSync(path.join(site, file), 'utf8'), context);
    done();
});
context.quillgenShard = (prefix, terms) => engine.receiveShard(prefix, terms);
context.quillgenDocuments = (n, docs, excerpts) => engine.receiveDocuments(n, docs, excerpts);

const ask = (query, typed) => new Promise((resolve) => {
    engine.search(query, typed, (results) => {
        engine.documents(results.map((r) => r[0]), resolve);
    });
});

(async () => {
    let failures = 0;
    for (const line of fs.readFileSync(table, 'utf8').split('\n')) {
        if (!line.trim() || line.startsWith('#'))
            continue;
        const [raw, expected, shows] = line.split('\t');
        const typed = raw.startsWith('~');
        const query = typed ? raw.slice(1) : raw;
        const docs = await ask(query, typed);
        const wanted = expected === '-' ? [] : expected.split(' ');
        const first = docs.slice(0, Math.max(wanted.length, 1)).map((d) => d[0]);
        const got = docs.length === 0 ? '-' : first.join(' ');
        if (docs.length < wanted.length || wanted.some((p) => !first.includes(p)) ||
            (wanted.length === 0 && docs.length > 0)) {
            failures++;
            console.log(`"${raw}": first results ${got}, expected ${expected}`);
            continue;
        }
        if (shows === undefined)
            continue;
        const words = search.queryWords(query);
        const growing = typed && words.length > 0 && words[words.length - 1].end === query.length;
        const text = search.snippet(docs[0][2], words, growing)
            .map(([piece, marked]) => (marked ? `[${piece}]` : piece)).join('');
        if (!text.includes(shows)) {
            failures++;
            console.log(`"${raw}": the first result shows "${text}", not "${shows}"`);
        }
    }
    process.exit(failures ? 1 : 0);
})();
