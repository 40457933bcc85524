// The converted example manual, read in headless Chromium.
//
// ORVANEL_SITE names a folder that holds the example's site files and the four
// pages and the search index orvanel-convert wrote into it (scripts/test-browser
// prepares it).
// ORVANEL_SCREENSHOT, when set, is where the picture of the frame page goes.
// CHROMIUM overrides the browser binary (default /usr/bin/chromium).

import assert from "node:assert/strict";
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import {after, before, describe, test} from "node:test";
import {pathToFileURL} from "node:url";
import {chromium} from "playwright-core";

const SITE = process.env.ORVANEL_SITE;
const SCREENSHOT = process.env.ORVANEL_SCREENSHOT;
const SEARCH_SCREENSHOT = process.env.ORVANEL_SEARCH_SCREENSHOT;
const CHROMIUM = process.env.CHROMIUM || "/usr/bin/chromium";
const BASE = "Manual";
const FILES = {
  content : `${BASE}.cnt.htm`,
  toc : `${BASE}.toc.htm`,
  buttons : `${BASE}.tocbtn.htm`,
  glossary : `${BASE}.gls.htm`,
};
const SEARCH_PAGE = "Search.htm";
const SEARCH_INDEX = `${BASE}.search.js`;

// Every wait has a bound; a hung page fails its test instead of the run.
const WAIT_MS = 5_000;
const TEST_MS = 45_000;

if (!SITE)
  throw new Error("ORVANEL_SITE must name the converted site folder");
for (const name of ["Index.htm", SEARCH_PAGE, SEARCH_INDEX, ...Object.values(FILES)]) {
  if (!fs.existsSync(path.join(SITE, name)))
    throw new Error(`${name} is missing from ${SITE}`);
}

function readSite(name) {
  // The pages are single-byte text; latin1 keeps every byte as one character.
  return fs.readFileSync(path.join(SITE, name), "latin1");
}

// Attributes of every <A ...> start tag, names upper-cased.
function anchorTags(html) {
  const tags = [];
  for (const m of html.matchAll(/<A\s([^>]*)>/gi)) {
    const attrs = {};
    for (const a of m[1].matchAll(/([A-Za-z-]+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+))/g)) {
      attrs[a[1].toUpperCase()] = a[2] ?? a[3] ?? a[4];
    }
    tags.push(attrs);
  }
  return tags;
}

const BOOKMARK_LINK = /^([^#]*)#((?:HBM|GBM)_.*)$/;

function bookmarkLinks(name) {
  const links = [];
  for (const tag of anchorTags(readSite(name))) {
    const m = tag.HREF === undefined ? null : BOOKMARK_LINK.exec(tag.HREF);
    if (m)
      links.push({file : m[1], bookmark : m[2], target : tag.TARGET});
  }
  return links;
}

describe("bookmark links of the generated pages", () => {
  const anchors = new Set(
      anchorTags(readSite(FILES.content)).map((t) => t.NAME).filter((n) => n !== undefined));

  test("every #HBM_ and #GBM_ link lands on an anchor of the content page", () => {
    const broken = [];
    const counts = {};
    for (const name of Object.values(FILES)) {
      const links = bookmarkLinks(name);
      counts[name] = links.length;
      for (const link of links) {
        // The content page links to itself with a bare fragment; the other
        // pages name the content page and show it in the content frame.
        const wellAimed = name === FILES.content
                              ? link.file === "" || link.file === FILES.content
                              : link.file === FILES.content && link.target === "ContentFrame";
        if (!wellAimed || !anchors.has(link.bookmark)) {
          broken.push(`${name}: ${link.file}#${link.bookmark} (TARGET=${link.target})`);
        }
      }
    }
    assert.deepEqual(broken, []);
    // The example has headers, contents entries and glossary links, so none
    // of the pages that carry them may come out without links.
    assert.ok(counts[FILES.content] > 0, "no bookmark link in the content page");
    assert.ok(counts[FILES.toc] > 0, "no entry in the contents page");
    assert.ok(counts[FILES.glossary] > 0, "no entry in the glossary page");
  });

  test("links of both kinds exist and point at anchors of their own kind", () => {
    const contentsTargets = bookmarkLinks(FILES.toc).map((l) => l.bookmark);
    const glossaryTargets = bookmarkLinks(FILES.glossary).map((l) => l.bookmark);
    assert.ok(contentsTargets.every((b) => b.startsWith("HBM_")),
              "a contents entry is not a header link");
    assert.ok(glossaryTargets.every((b) => b.startsWith("GBM_")),
              "a glossary entry is not a definition link");
    const inContent = bookmarkLinks(FILES.content).map((l) => l.bookmark);
    assert.ok(inContent.some((b) => b.startsWith("HBM_")), "no outline-path link in the content");
    assert.ok(inContent.some((b) => b.startsWith("GBM_")), "no glossary link in the content");
  });
});

// --- the browser -------------------------------------------------------------

const TYPES = {
  ".htm" : "text/html",
  ".js" : "text/javascript",
  ".html" : "text/html",
  ".css" : "text/css",
  ".gif" : "image/gif",
  ".png" : "image/png",
  ".jpg" : "image/jpeg",
};

// A static server for the site folder on the loopback address, on a free port.
function serveSite(root) {
  const rootDir = path.resolve(root);
  const server = http.createServer((req, res) => {
    let file = null;
    try {
      const urlPath = decodeURIComponent(new URL(req.url, "http://127.0.0.1").pathname);
      const candidate = path.resolve(rootDir, "." + urlPath);
      if (candidate.startsWith(rootDir + path.sep) && fs.statSync(candidate).isFile())
        file = candidate;
    } catch {
      file = null;
    }
    if (!file || req.method !== "GET") {
      res.writeHead(404, {"Content-Type" : "text/plain"}).end("not found");
      return;
    }
    res.writeHead(
        200,
        {"Content-Type" : TYPES[path.extname(file).toLowerCase()] || "application/octet-stream"});
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve, reject) => {
    server.once("error", reject);
    server.listen(0, "127.0.0.1", () => resolve(server));
  });
}

async function launchBrowser() {
  // Playwright starts Chromium with a new, empty profile of its own. The
  // background-networking flags keep Chromium from opening connections
  // of its own, which are refused here.
  return chromium.launch({
    executablePath : CHROMIUM,
    headless : true,
    timeout : 30_000,
    args : [
      "--no-sandbox",
      "--disable-gpu",
      "--disable-quic",
      "--no-first-run",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
    ],
  });
}

// Opens Index.htm in a new page and returns the page, its four frames and
// the problems the page ran into (script errors, missing files).
async function openSite(browser, indexUrl) {
  const page = await browser.newPage({viewport : {width : 1280, height : 800}});
  page.setDefaultTimeout(WAIT_MS);
  page.setDefaultNavigationTimeout(WAIT_MS);
  const problems = [];
  page.on("pageerror", (e) => problems.push(`script error: ${e.message}`));
  page.on("console", (m) => {
    if (m.type() === "error" && !/favicon/i.test(m.location().url || ""))
      problems.push(`console: ${m.text()}`);
  });
  page.on("requestfailed",
          (r) => problems.push(`request failed: ${r.url()} ${r.failure()?.errorText}`));
  page.on("response", (r) => {
    if (r.status() >= 400 && !r.url().endsWith("/favicon.ico"))
      problems.push(`HTTP ${r.status()}: ${r.url()}`);
  });
  await page.goto(indexUrl, {waitUntil : "load"});

  const byFile = (file) => {
    const frame = page.frames().find((f) => new URL(f.url()).pathname.endsWith("/" + file));
    assert.ok(frame, `no frame shows ${file}`);
    return frame;
  };
  const frames = {
    content : byFile(FILES.content),
    toc : byFile(FILES.toc),
    buttons : byFile(FILES.buttons),
    glossary : byFile(FILES.glossary),
    search : byFile(SEARCH_PAGE),
  };
  // The generated links aim at the frame called ContentFrame.
  assert.equal(frames.content.name(), "ContentFrame",
               "the content page is not in the frame named ContentFrame");
  return {page, frames, problems};
}

// The contents entries by outline level: { "0": { shown: 3, of: 9 }, ... }.
function entryVisibility(toc) {
  return toc.evaluate(() => {
    const result = {};
    for (const p of document.querySelectorAll("P")) {
      const m = /^HOL_(\d)$/.exec(p.className);
      if (!m)
        continue;
      const level = (result[m[1]] ??= {shown : 0, of : 0});
      level.of++;
      if (p.getClientRects().length > 0)
        level.shown++;
    }
    return result;
  });
}

// Clicks each level button and checks which contents entries stay visible:
// button k shows the entries of outline levels 0 to k - 1, All shows all.
async function checkLevelButtons(frames) {
  const levels = Object.keys(await entryVisibility(frames.toc)).map(Number);
  assert.ok(levels.length > 1, "the contents page has fewer than two outline levels");
  const deepest = Math.max(...levels);

  const buttons = await frames.buttons.locator("INPUT[TYPE=BUTTON]")
                      .evaluateAll((els) => els.map((e) => e.value));
  const numbered = Array.from({length : deepest}, (_, i) => String(i + 1));
  assert.deepEqual(buttons, [ "All", ...numbered ],
                   "one button per outline level below the deepest, and All");

  // Ascending, then All, then 1 again: every click has to hide or show
  // something the one before it did not.
  for (const value of [...numbered, "All", "1"]) {
    const shown = value === "All" ? 9 : Number(value) - 1;
    const expected = {};
    for (const [level, {of}] of Object.entries(await entryVisibility(frames.toc))) {
      expected[level] = {shown : Number(level) <= shown ? of : 0, of};
    }
    await frames.buttons.locator(`INPUT[TYPE=BUTTON][VALUE='${value}']`).click();
    // Over file:// the call travels as messages, so the change may come late.
    await frames.toc
        .waitForFunction(
            (shownLevel) => [...document.querySelectorAll("P")].every((p) => {
              const m = /^HOL_(\d)$/.exec(p.className);
              return !m || (p.getClientRects().length > 0) === Number(m[1]) <= shownLevel;
            }),
            shown,
            {timeout : WAIT_MS},
            )
        .catch(() => {});
    assert.deepEqual(await entryVisibility(frames.toc), expected, `after the button ${value}`);
  }
}

// Scrolls the content to the top and returns whether the anchor is below the
// first screen, so that landing on it proves the page moved.
function resetContent(content, bookmark) {
  return content.evaluate((name) => {
    window.scrollTo(0, 0);
    const a = document.getElementsByName(name)[0];
    return a ? a.getBoundingClientRect().top >= window.innerHeight : false;
  }, bookmark);
}

// Where the content frame stands: its hash, and the anchor and the header
// that follows it on screen.
function contentPosition(content, bookmark) {
  return content.evaluate((name) => {
    // Its top edge on screen (an empty anchor has no height at all).
    const inView = (el) => {
      const top = el.getBoundingClientRect().top;
      return top >= -1 && top < window.innerHeight;
    };
    const anchor = document.getElementsByName(name)[0];
    let header = null;
    if (anchor) {
      for (const h of document.getElementsByTagName("H1")) {
        if (anchor.compareDocumentPosition(h) & Node.DOCUMENT_POSITION_FOLLOWING) {
          header = h;
          break;
        }
      }
    }
    return {
      hash : decodeURIComponent(location.hash),
      anchorInView : anchor ? inView(anchor) : false,
      header : header ? header.textContent.replace(/\s+/g, " ").trim() : null,
      headerInView : header ? inView(header) : false,
    };
  }, bookmark);
}

async function landOn(content, bookmark) {
  await content
      .waitForFunction((hash) => decodeURIComponent(location.hash) === hash, "#" + bookmark,
                       {timeout : WAIT_MS})
      .catch(() => {});
  return contentPosition(content, bookmark);
}

// Picks entries spread over the list whose targets start below the first
// screen of the content.
async function farTargets(frames, locator, count) {
  const links = await locator.evaluateAll(
      (els) => els.map((a, index) =>
                           ({index, href : a.getAttribute("HREF"), text : a.textContent.trim()})),
  );
  const far = [];
  for (const link of links) {
    const bookmark = link.href.split("#")[1];
    if (await resetContent(frames.content, bookmark))
      far.push({...link, bookmark});
  }
  assert.ok(far.length >= count, `only ${far.length} entries point below the first screen`);
  const picks = [];
  for (let i = 0; i < count; i++)
    picks.push(far[Math.floor((i * (far.length - 1)) / (count - 1))]);
  return picks;
}

async function checkContentsEntries(frames) {
  const entries = frames.toc.locator("P[CLASS^='HOL_'] A");
  for (const entry of await farTargets(frames, entries, 3)) {
    assert.ok(await resetContent(frames.content, entry.bookmark));
    await entries.nth(entry.index).click();
    const at = await landOn(frames.content, entry.bookmark);
    assert.equal(at.hash, "#" + entry.bookmark, `clicked "${entry.text}"`);
    assert.ok(at.header && at.header.endsWith(entry.text),
              `header "${at.header}" after "${entry.text}"`);
    assert.ok(at.headerInView, `header "${entry.text}" is not in view`);
  }
}

async function checkGlossaryEntries(frames) {
  const entries = frames.glossary.locator("A[TARGET='ContentFrame']");
  for (const entry of await farTargets(frames, entries, 3)) {
    assert.ok(entry.bookmark.startsWith("GBM_"), entry.href);
    assert.ok(await resetContent(frames.content, entry.bookmark));
    await entries.nth(entry.index).click();
    const at = await landOn(frames.content, entry.bookmark);
    assert.equal(at.hash, "#" + entry.bookmark, `clicked "${entry.text}"`);
    assert.ok(at.anchorInView, `definition of "${entry.text}" is not in view`);
  }
}

// Whether a script of the buttons frame may reach into the frame page.
function directFrameAccess(frames) {
  return frames.buttons.evaluate(() => {
    try {
      return typeof window.parent.FViewToHOL === "function";
    } catch {
      return false;
    }
  });
}

// --- the search frame ------------------------------------------------------------

// "synonyms" is written in the text of one section of the example only, and
// in no title and no glossary expression.
const ONLY_IN_ONE_TEXT = {query : "Synonym", title : "Hidden items"};

// Types QUERY into the search box and waits for the status line.
async function typeQuery(frames, query) {
  const box = frames.search.locator("#SearchBox");
  await box.fill("");
  await box.pressSequentially(query);
  await frames.search.waitForFunction(
      (q) => document.getElementById("SearchResults").getAttribute("data-query") === q, query,
      {timeout : WAIT_MS});
  return frames.search.evaluate(() => ({
    status : document.getElementById("SearchStatus").textContent,
    titles : [...document.querySelectorAll("#SearchResults .SearchTitle")].map((e) => e.textContent),
    paths : [...document.querySelectorAll("#SearchResults .SearchPath")].map((e) => e.textContent),
    marks : [...document.querySelectorAll("#SearchResults .SearchExcerpt MARK")].map(
        (e) => e.textContent),
    selected : [...document.querySelectorAll("#SearchResults .SearchResult")].findIndex(
        (e) => e.classList.contains("Selected")),
    hrefs : [...document.querySelectorAll("#SearchResults .SearchResult")].map(
        (e) => e.getAttribute("href")),
  }));
}

async function checkSearch(frames) {
  // A word of one section's text: that section alone, its hit shown in the
  // excerpt; Enter brings its header into the content frame.
  const found = await typeQuery(frames, ONLY_IN_ONE_TEXT.query);
  assert.deepEqual(found.titles, [ ONLY_IN_ONE_TEXT.title ], found.status);
  assert.equal(found.status, "1 result");
  assert.ok(found.marks.length > 0 && found.marks.every((m) => /^synonym/i.test(m)), found.marks);
  const bookmark = found.hrefs[0].split("#")[1];
  assert.equal(found.hrefs[0], `${FILES.content}#${bookmark}`);
  assert.ok(await resetContent(frames.content, bookmark), "the section is on the first screen");
  await frames.search.locator("#SearchBox").press("Enter");
  const at = await landOn(frames.content, bookmark);
  assert.equal(at.hash, "#" + bookmark);
  assert.ok(at.header && at.header.endsWith(ONLY_IN_ONE_TEXT.title), at.header);
  assert.ok(at.headerInView, "the header is not in view");

  // Titles first, then glossary expressions, then text; every word counts.
  const ranked = await typeQuery(frames, "hidden item");
  assert.equal(ranked.titles[0], "Hidden items");
  const tiers = ranked.hrefs.map((h, i) => h.includes("#GBM_") ? 1
                                         : /\bhidden/i.test(ranked.titles[i]) &&
                                                   /\bitem/i.test(ranked.titles[i])
                                             ? 0
                                             : 2);
  assert.deepEqual([...new Set(tiers) ], [ 0, 1, 2 ], ranked.hrefs.join(" "));
  assert.deepEqual(tiers, [...tiers ].sort(), ranked.titles.join(" | "));

  // The arrow keys move through the results; Enter opens the one selected.
  assert.equal(ranked.selected, 0);
  const box = frames.search.locator("#SearchBox");
  await box.press("ArrowDown");
  await box.press("ArrowDown");
  await box.press("ArrowUp");
  const second = await frames.search.evaluate(
      () => [...document.querySelectorAll("#SearchResults .SearchResult")].findIndex(
          (e) => e.classList.contains("Selected")));
  assert.equal(second, 1);
  const secondBookmark = ranked.hrefs[1].split("#")[1];
  await resetContent(frames.content, secondBookmark);
  await box.press("Enter");
  assert.equal((await landOn(frames.content, secondBookmark)).hash, "#" + secondBookmark);

  // No hit says so, and every word has to match.
  const none = await typeQuery(frames, "synonyms zzqxv");
  assert.deepEqual(none.titles, []);
  assert.equal(none.status, "No results for \u201Csynonyms zzqxv\u201D.");
}

describe("the example site over http://", {timeout : TEST_MS * 6}, () => {
  let server;
  let browser;
  let indexUrl;

  before(async () => {
    server = await serveSite(SITE);
    indexUrl = `http://127.0.0.1:${server.address().port}/Index.htm`;
    browser = await launchBrowser();
  });

  after(async () => {
    await browser?.close();
    server?.closeAllConnections();
    await new Promise((resolve) => (server ? server.close(resolve) : resolve()));
  });

  test("frames share an origin, so the scripts call each other directly", {timeout : TEST_MS},
       async () => {
         const {page, frames, problems} = await openSite(browser, indexUrl);
         assert.equal(await directFrameAccess(frames), true);
         assert.deepEqual(problems, []);
         await page.close();
       });

  test("a contents entry brings its header into the content frame", {timeout : TEST_MS},
       async () => {
         const {page, frames, problems} = await openSite(browser, indexUrl);
         await checkContentsEntries(frames);
         assert.deepEqual(problems, []);
         await page.close();
       });

  test("each level button shows the contents entries down to its level", {timeout : TEST_MS},
       async () => {
         const {page, frames, problems} = await openSite(browser, indexUrl);
         await checkLevelButtons(frames);
         assert.deepEqual(problems, []);
         await page.close();
       });

  test("a glossary entry lands on its definition", {timeout : TEST_MS}, async () => {
    const {page, frames, problems} = await openSite(browser, indexUrl);
    await checkGlossaryEntries(frames);
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("the search finds a section by a word of its text and opens it", {timeout : TEST_MS},
       async () => {
         const {page, frames, problems} = await openSite(browser, indexUrl);
         await checkSearch(frames);
         assert.deepEqual(problems, []);
         await page.close();
       });

  test("screenshot of the search",
       {timeout : TEST_MS, skip : !SEARCH_SCREENSHOT && "ORVANEL_SEARCH_SCREENSHOT not set"},
       async () => {
         const {page, frames, problems} = await openSite(browser, indexUrl);
         await typeQuery(frames, "glossary link");
         await frames.search.locator("#SearchBox").press("ArrowDown");
         await frames.search.locator("#SearchBox").press("Enter");
         await page.waitForTimeout(300);
         fs.mkdirSync(path.dirname(SEARCH_SCREENSHOT), {recursive : true});
         const png = await page.screenshot({path : SEARCH_SCREENSHOT, timeout : WAIT_MS});
         assert.ok(png.length > 20_000, `the screenshot is only ${png.length} bytes`);
         assert.deepEqual(problems, []);
         await page.close();
       });

  test("screenshot of the frame page",
       {timeout : TEST_MS, skip : !SCREENSHOT && "ORVANEL_SCREENSHOT not set"}, async () => {
         const {page, frames, problems} = await openSite(browser, indexUrl);
         // A reader's view: the contents folded to two levels, one section open.
         await frames.buttons.locator("INPUT[TYPE=BUTTON][VALUE='2']").click();
         const entry = frames.toc.locator("P.HOL_1 A").nth(1);
         const bookmark = (await entry.getAttribute("HREF")).split("#")[1];
         await entry.click();
         assert.equal((await landOn(frames.content, bookmark)).hash, "#" + bookmark);
         await page.mouse.move(640, 790); // no hover colour on the clicked entry
         fs.mkdirSync(path.dirname(SCREENSHOT), {recursive : true});
         const png = await page.screenshot({path : SCREENSHOT, timeout : WAIT_MS});
         assert.ok(png.length > 20_000, `the screenshot is only ${png.length} bytes`);
         assert.deepEqual(problems, []);
         await page.close();
       });
});

describe("the example site from file://", {timeout : TEST_MS * 3}, () => {
  let browser;
  const indexUrl = pathToFileURL(path.join(path.resolve(SITE), "Index.htm")).href;

  before(async () => { browser = await launchBrowser(); });

  after(async () => { await browser?.close(); });

  test("each level button works through messages between the frames", {timeout : TEST_MS},
       async () => {
         const {page, frames, problems} = await openSite(browser, indexUrl);
         // Chromium gives every file its own origin; if that ever changes, this
         // test no longer covers the message path and must say so.
         assert.equal(await directFrameAccess(frames), false,
                      "frames of file:// pages reach each other directly");
         await checkLevelButtons(frames);
         assert.deepEqual(problems, []);
         await page.close();
       });

  test("a contents entry brings its header into the content frame", {timeout : TEST_MS},
       async () => {
         const {page, frames, problems} = await openSite(browser, indexUrl);
         await checkContentsEntries(frames);
         assert.deepEqual(problems, []);
         await page.close();
       });

  test("the search loads its index and opens results across the frames", {timeout : TEST_MS},
       async () => {
         const {page, frames, problems} = await openSite(browser, indexUrl);
         await checkSearch(frames);
         assert.deepEqual(problems, []);
         await page.close();
       });
});
