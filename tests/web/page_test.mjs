// Opens the demo's page in the system's headless Chromium, served from
// 127.0.0.1, and checks it as a viewer would meet it.
//   node page_test.mjs play PAGE_DIR SKIP SECONDS
//     clicks the gate, then for SECONDS compares the music element's
//     position with the demo clock, the frames drawn with the frames the
//     browser shows, and collects the statistics lines
//   node page_test.mjs frame PAGE_DIR T OUT.png
//     seeks to T with --bench and saves the canvas's frame at T
// Any page error, GL error or failed check ends it with status 1.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

const [mode, pageDir, ...rest] = process.argv.slice(2);
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
const problems = [];
const lines = [];

function fail(message) {
	problems.push(message);
}

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// http.server on a free port; resolves with the port it prints.
function serve(dir) {
	const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', dir],
		{ stdio: ['ignore', 'pipe', 'ignore'] });
	return new Promise((resolve, reject) => {
		let out = '';
		server.stdout.on('data', d => {
			out += d;
			const m = out.match(/port (\d+)/);
			if (m)
				resolve({ server, port: Number(m[1]) });
		});
		server.on('exit', code => reject(new Error(`http.server ended with ${code}`)));
		setTimeout(() => reject(new Error('http.server did not start')), 10000);
	});
}

async function openPage(browser, url) {
	const page = await browser.newPage();
	await page.setViewport({ width: 854, height: 480, deviceScaleFactor: 1 });
	page.on('pageerror', e => fail(`page error: ${e.message}`));
	page.on('console', m => {
		const text = m.text();
		lines.push(text);
		// Chromium reports WebGL errors on the console; the demo its own.
		if (/WebGL: |GL_INVALID|gl error/.test(text))
			fail(`GL error: ${text}`);
	});
	await page.goto(url);
	return page;
}

// Waits until a console line matches; returns it.
async function waitLine(pattern, seconds) {
	for (let i = 0; i < seconds * 10; i++) {
		const line = lines.find(l => pattern.test(l));
		if (line)
			return line;
		if (problems.length)
			return null;
		await sleep(100);
	}
	fail(`no line matching ${pattern} within ${seconds} s`);
	return null;
}

function stats() {
	return lines.map(l => l.match(/^fps: ([\d.]+) \((\d+)\) logic: ([\d.]+) \((\d+)\) time: ([\d.]+)/))
		.filter(m => m).map(m => ({ fps: +m[1], frames: +m[2], logic: +m[3], steps: +m[4], time: +m[5] }));
}

async function play(browser, base, skip, seconds) {
	const page = await openPage(browser, `${base}?--skip&${skip}`);
	await page.waitForFunction(() => document.getElementById('gate').textContent === 'click to start',
		{ timeout: 60000 });
	const before = stats().length;
	await page.click('#gate');
	const shownLine = await waitLine(/^first frame shown at/, 10);
	if (!shownLine)
		return;
	const [loaded, clicked] = await page.evaluate(() => [Module.qvdLoaded, Module.qvdClicked]);
	const firstFrame = Number(shownLine.match(/([\d.]+) s/)[1]) * 1000;
	console.log(`page loaded to its gate in ${(loaded / 1000).toFixed(2)} s; ` +
		`first frame ${((firstFrame - clicked) / 1000).toFixed(3)} s after the click`);

	// The page counts the browser's animation frames (the frames it can
	// show); the program counts the frames it draws.
	await page.evaluate(() => {
		window.qvdShown = 0;
		const count = () => { window.qvdShown++; requestAnimationFrame(count); };
		requestAnimationFrame(count);
	});
	let worst = 0;
	let samples = 0;
	let first = null;
	let last = null;
	let window_start = null;
	const end = Date.now() + seconds * 1000;
	while (Date.now() < end && !problems.length) {
		await sleep(500);
		const [clock, music, drawn, shown] = await page.evaluate(() =>
			[Module._qvd_web_clock(), Module._qvd_web_music_time(), Module._qvd_web_frames(), window.qvdShown]);
		if (music < 0) {
			fail('no music element');
			break;
		}
		const sample = { clock, music, drawn, shown };
		first = first || sample;
		window_start = window_start || sample;
		last = sample;
		worst = Math.max(worst, Math.abs(music - clock));
		samples++;
		if (clock - window_start.clock >= 2 || Date.now() >= end) {
			const dt = clock - window_start.clock;
			console.log(`t ${window_start.clock.toFixed(1)}-${clock.toFixed(1)} s: ` +
				`${((drawn - window_start.drawn) / dt).toFixed(1)} frames/s drawn, ` +
				`${((shown - window_start.shown) / dt).toFixed(1)} shown`);
			window_start = sample;
		}
	}
	if (!samples)
		return;
	console.log(`music vs clock over ${(last.clock - first.clock).toFixed(1)} s, ${samples} samples: ` +
		`largest difference ${worst.toFixed(3)} s, first ${(first.music - first.clock).toFixed(3)} s, ` +
		`last ${(last.music - last.clock).toFixed(3)} s`);
	if (worst > 0.2)
		fail(`music and clock are ${worst.toFixed(3)} s apart`);
	if (last.music - first.music < seconds * 0.9)
		fail(`the music advanced only ${(last.music - first.music).toFixed(2)} s`);
	// The first sample comes a few frames in; on a slow machine seconds in.
	if (first.clock < skip || first.clock > skip + 10)
		fail(`the clock began at ${first.clock.toFixed(2)} s, not at the skip time ${skip}`);
	// A frame drawn between two of the browser's frames is never shown, yet
	// its GL work is done: the page must draw no more than it can show.
	const drawn = last.drawn - first.drawn;
	const shown = last.shown - first.shown;
	console.log(`${drawn} frames drawn and ${shown} animation frames in ${(last.clock - first.clock).toFixed(1)} s`);
	if (Math.abs(drawn - shown) > 0.05 * shown + 5)
		fail(`${drawn} frames drawn for ${shown} the browser could show`);

	// The first line after the click covers loading; the rest run in real
	// time. Each line counts the steps since the one before, so over the run
	// the steps must keep pace with the demo clock, however late the timer.
	const running = stats().slice(before + 1);
	if (running.length < 3) {
		fail(`only ${running.length} statistics lines in ${seconds} s`);
		return;
	}
	for (let i = 1; i < running.length; i++) {
		const dt = running[i].time - running[i - 1].time;
		console.log(`statistics t ${running[i - 1].time.toFixed(1)}-${running[i].time.toFixed(1)} s: ` +
			`${(running[i].steps / dt).toFixed(1)} logic steps/s`);
	}
	const span = running[running.length - 1].time - running[0].time;
	const steps = running.slice(1).reduce((sum, s) => sum + s.steps, 0);
	console.log(`statistics lines over ${span.toFixed(1)} s: ${(steps / span).toFixed(2)} logic steps/s`);
	if (Math.abs(steps / span - 50) > 0.5)
		fail(`logic rate ${(steps / span).toFixed(2)}, not 50 per second`);
}

async function frame(browser, base, to, out) {
	const page = await openPage(browser, `${base}?--bench&--seek&${to}&--to&${to}`);
	if (!await waitLine(/^bench total/, 180))
		return;
	// The last frame stays on the canvas once the program has ended.
	await sleep(500);
	const canvas = await page.$('#canvas');
	await canvas.screenshot({ path: out });
	console.log(`frame at ${to} s saved to ${out}`);
}

const { server, port } = await serve(pageDir);
const profile = mkdtempSync(join(tmpdir(), 'qvd-chromium-'));
const browser = await puppeteer.launch({
	executablePath: chromium,
	headless: true,
	args: ['--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
		'--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync',
		'--disable-quic', '--mute-audio', `--user-data-dir=${profile}`],
});
try {
	const base = `http://127.0.0.1:${port}/quintaro.html`;
	if (mode === 'play')
		await play(browser, base, Number(rest[0]), Number(rest[1]));
	else if (mode === 'frame')
		await frame(browser, base, Number(rest[0]), rest[1]);
	else
		fail(`unknown mode ${mode}`);
} catch (e) {
	fail(e.message);
} finally {
	await browser.close();
	server.kill();
	rmSync(profile, { recursive: true, force: true });
}
if (problems.length) {
	console.log('the page\'s last lines:');
	for (const l of lines.slice(-30))
		console.log(`  ${l}`);
}
for (const p of problems)
	console.log(p);
process.exit(problems.length ? 1 : 0);
