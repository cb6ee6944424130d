// Runs the search page's own script, as search.htm carries it, over a written site and
// checks the first results of each query in a table.
// Usage: node search_queries.js SITE_FOLDER QUERIES_FILE
// QUERIES_FILE: "query<TAB>first results" lines. The results are pages separated by
// spaces, which must come first in any order ("-" for none); a query that starts with
// "~" is being typed, so its last word also finds the terms it begins.
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const [site, table] = process.argv.slice(2);
const page = fs.readFileSync(path.join(site, 'search.htm'), 'utf8');
const scripts = [...page.matchAll(/<script>([\s\S]*?)<\/script>/g)].map((m) => m[1]);
const context = vm.createContext({});
scripts.forEach((s) => vm.runInContext(s, context));
const engine = new context.QuillgenSearch.Engine(context.quillgenSite, (file, done) => {
    vm.runInContext(fs.readFileSync(path.join(site, file), 'utf8'), context);
    done();
});
context.quillgenShard = (prefix, terms) => engine.receiveShard(prefix, terms);
context.quillgenDocuments = (n, docs) => engine.receiveDocuments(n, docs);

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
        const [raw, expected] = line.split('\t');
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
        }
    }
    process.exit(failures ? 1 : 0);
})();
