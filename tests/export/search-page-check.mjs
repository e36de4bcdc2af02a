// Drives the searchable page in headless Chromium and prints what it sees, one fact a line:
//   count <rows found>          for each query of the queries file, in order
//   shown <rows drawn>          after each of them
//   typed <rows found>          after typing the typed query key by key
//   first <first row's cells, tab-separated, as the page shows them>
//   markup <elements inside the table's cells>
//   narrow <display of the table head at phone width> wide <the same at desktop width>
//   loaded <ms until the rows are shown>  search <ms of one search over every row>
// Usage: node search-page-check.mjs CHROMIUM PAGE QUERIES.json TYPED PROFILE [THROTTLE]
import { createRequire } from "node:module";
import { readFileSync } from "node:fs";
import { pathToFileURL } from "node:url";

const require = createRequire(process.env.PLUMET_BROWSER_TOOLS + "/package.json");
const puppeteer = require("puppeteer-core");
const [chromium, pagePath, queriesPath, typed, profile, throttle] = process.argv.slice(2);
const queries = JSON.parse(readFileSync(queriesPath, "utf8"));

const browser = await puppeteer.launch({
  executablePath: chromium,
  headless: true,
  userDataDir: profile,
  // As root Chromium runs only without its sandbox.
  args: ["--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage"],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1200, height: 800 });
  if (throttle) await page.emulateCPUThrottling(Number(throttle));
  const started = Date.now();
  await page.goto(pathToFileURL(pagePath).href, { waitUntil: "load" });
  await page.waitForFunction(() => document.getElementById("count").textContent !== "");
  console.log("loaded " + (Date.now() - started));

  const search = (query) => page.evaluate((q) => {
    const box = document.getElementById("q");
    const start = performance.now();
    box.value = q;
    box.dispatchEvent(new Event("input"));
    const ms = performance.now() - start;
    const count = document.getElementById("count").textContent;
    return { found: Number(count.split(" ")[0]), ms,
             shown: document.querySelectorAll("#list tbody tr").length };
  }, query);

  for (const query of queries) {
    const result = await search(query);
    console.log("count " + result.found);
    console.log("shown " + result.shown);
    console.log("search " + result.ms.toFixed(1));
  }

  await search("");
  await page.click("#q");
  await page.keyboard.type(typed);
  console.log("typed " + (await page.$eval("#count", (e) => e.textContent.split(" ")[0])));
  console.log("first " + (await page.evaluate(() => {
    const row = document.querySelector("#list tbody tr");
    return row ? Array.from(row.cells, (c) => c.textContent).join("\t") : "";
  })));
  console.log("markup " + (await page.$$eval("#list td *", (e) => e.length)));

  const headDisplay = () => page.$eval("#list thead", (e) => getComputedStyle(e).display);
  await page.setViewport({ width: 360, height: 740, isMobile: true });
  console.log("narrow " + (await headDisplay()));
  await page.setViewport({ width: 1200, height: 800 });
  console.log("wide " + (await headDisplay()));
} finally {
  await browser.close();
}
