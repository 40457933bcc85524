// orvanel-convert --serve, read in headless Chromium: an edit of the source
// shows in the content frame without a manual reload, and a failed
// conversion shows a banner there until a good one.
//
// ORVANEL_CONVERT names the orvanel-convert program, ORVANEL_EXAMPLE the
// example manual's folder (scripts/test-browser sets both). CHROMIUM
// overrides the browser binary (default /usr/bin/chromium).

import assert from "node:assert/strict";
import {spawn} from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import {after, before, describe, test} from "node:test";
import {chromium} from "playwright-core";

const CONVERT = process.env.ORVANEL_CONVERT;
const EXAMPLE = process.env.ORVANEL_EXAMPLE;
const CHROMIUM = process.env.CHROMIUM || "/usr/bin/chromium";
// The reader sees an edit within this time of its saving.
const RELOAD_MS = 2_000;

if (!CONVERT || !EXAMPLE)
  throw new Error("ORVANEL_CONVERT and ORVANEL_EXAMPLE must be set");

const work = fs.mkdtempSync(path.join(os.tmpdir(), "orvanel-serve-"));
const src = path.join(work, "src");
const site = path.join(work, "site");
const source = path.join(src, "Manual.txt");

let server;
let serverExit;
let browser;
let url;

function startServer() {
  return new Promise((resolve, reject) => {
    server = spawn(CONVERT, [ "--serve", "--port", "0", "--quiet", source, site ],
                   {stdio : [ "ignore", "ignore", "pipe" ]});
    serverExit = new Promise((done) => server.on("exit", (code, signal) => done({code, signal})));
    let err = "";
    server.stderr.setEncoding("latin1");
    server.stderr.on("data", (chunk) => {
      err += chunk;
      const m = err.match(/Serving (http:\/\/127\.0\.0\.1:\d+\/Index\.htm)\n/);
      if (m)
        resolve(m[1]);
    });
    server.on("exit", () => reject(new Error(`the server ended early: ${err}`)));
  });
}

// The content frame's text, or null while it is between two pages.
async function contentText(page) {
  const frame = page.frames().find((f) => f.url().endsWith("/Manual.cnt.htm"));
  if (!frame)
    return null;
  try {
    return await frame.evaluate(() => document.body ? document.body.innerText : null);
  } catch {
    return null;
  }
}

// Milliseconds until WANTED(text of the content frame) holds; throws after LIMIT.
async function timeUntil(page, wanted, limit) {
  const start = Date.now();
  for (;;) {
    const text = await contentText(page);
    if (text !== null && wanted(text))
      return Date.now() - start;
    if (Date.now() - start > limit)
      throw new Error(`not seen within ${limit} ms; the content frame says: ${
          (text || "").slice(0, 200)}`);
    await new Promise((r) => setTimeout(r, 25));
  }
}

describe("orvanel-convert --serve", {timeout : 90_000}, () => {
  before(async () => {
    fs.mkdirSync(src);
    for (const name of fs.readdirSync(EXAMPLE))
      if (name.endsWith(".htm") || name === "Manual.txt")
        fs.copyFileSync(path.join(EXAMPLE, name), path.join(src, name));
    fs.cpSync(path.join(EXAMPLE, "site"), site, {recursive : true});
    url = await startServer();
    browser = await chromium.launch({
      executablePath : CHROMIUM,
      headless : true,
      timeout : 30_000,
      args : [
        "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
        "--disable-background-networking", "--disable-component-update", "--disable-sync"
      ],
    });
  });

  after(async () => {
    if (browser)
      await browser.close();
    if (server && server.exitCode === null)
      server.kill("SIGTERM");
    fs.rmSync(work, {recursive : true, force : true});
  });

  test("an edit shows in the content frame and a failure as a banner there", async () => {
    const page = await browser.newPage({viewport : {width : 1280, height : 800}});
    await page.goto(url);
    await timeUntil(page, (t) => t.includes("Welcome!"), 5_000);
    // Marks this frame page: a reload of the whole window would lose it.
    await page.evaluate(() => { window.orvanelKept = "yes"; });

    const original = fs.readFileSync(source, "latin1");
    const edited = original.replace(/^Welcome!.*$/m, "Freshly edited paragraph.");
    assert.notEqual(edited, original);
    fs.writeFileSync(source, edited, "latin1");
    const seenIn = await timeUntil(page, (t) => t.includes("Freshly edited paragraph."), RELOAD_MS);
    console.log(`edit seen in the content frame after ${seenIn} ms`);
    assert.equal(await page.evaluate(() => window.orvanelKept), "yes");
    // The frame site is still whole: contents, buttons, glossary.
    for (const name of [ "Manual.toc.htm", "Manual.tocbtn.htm", "Manual.gls.htm" ])
      assert.ok(page.frames().some((f) => f.url().endsWith("/" + name)), name);

    // A missing template fails the conversion; the last good pages stay.
    const template = path.join(src, "BeforeContent.htm");
    fs.renameSync(template, template + ".away");
    await timeUntil(page, (t) => t.includes("Freshly edited paragraph.") &&
                                 /Failed|not|cannot|can't/i.test(t.split("\n")[0]),
                    RELOAD_MS);
    const frame = page.frames().find((f) => f.url().endsWith("/Manual.cnt.htm"));
    const banner = await frame.evaluate(() => {
      const b = document.getElementById("orvanel-banner");
      if (!b)
        return null;
      const box = b.getBoundingClientRect();
      return {text : b.textContent, top : box.top, first : document.body.firstChild === b};
    });
    assert.ok(banner, "the banner is shown");
    assert.equal(banner.top, 0);
    assert.ok(banner.first);
    assert.match(banner.text, /BeforeContent\.htm/);

    fs.renameSync(template + ".away", template);
    await timeUntil(page, (t) => !/BeforeContent\.htm/.test(t.split("\n")[0]), RELOAD_MS);
    assert.equal(await frame.evaluate(() => document.getElementById("orvanel-banner")), null);
    assert.equal(await page.evaluate(() => window.orvanelKept), "yes");
    await page.close();
  });

  test("SIGTERM stops the server with exit status 0", async () => {
    server.kill("SIGTERM");
    const {code, signal} = await serverExit;
    assert.equal(signal, null);
    assert.equal(code, 0);
  });
});
