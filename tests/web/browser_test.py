"""The game in a real browser: Debian's headless chromium over its DevTools protocol, the site
of scripts/web on a local server. Frames are compared with the desktop build's under Xvfb
(pyrokettle_bench) as means of 8 x 8 blocks, which smooths away the desktop's rescaling of
pictures to power-of-two sizes but not a missing or black picture or line of text.
Usage: browser_test.py SITE EMSCRIPTEN_TREE PYROKETTLE_BENCH SOURCE_DIR  (needs DISPLAY)"""
import os, shutil, subprocess, sys, tempfile, time

site, tree, bench, source = sys.argv[1:5]
if not os.path.isfile(os.path.join(site, 'sw.js')):
    print('SKIPPED: no browser build in %s (scripts/web --build-only makes it)' % site)
    sys.exit(77)
sys.path.insert(0, os.path.join(source, 'scripts'))
from devtools import Browser, game_server  # noqa: E402

STARTED = "document.title == 'Here be hoplings...'"
ENTERING = "!document.getElementById('name-form').hidden"
NO_WEBGL2 = ("const get = HTMLCanvasElement.prototype.getContext; HTMLCanvasElement.prototype"
             ".getContext = function (kind, o) { return /%s/.test(kind) ? null : get.call(this, kind, o); };")
KEPT = ("new Promise(done => { const o = indexedDB.open('/kept'); o.onsuccess = () => {"
        " const get = o.result.transaction('FILE_DATA').objectStore('FILE_DATA').get('/kept/poon.txt');"
        " get.onsuccess = () => done(get.result ? new TextDecoder().decode(get.result.contents) : ''); }; })")


def check(condition, what):
    if not condition:
        raise AssertionError(what)


def desktop_frame(scene, objects):
    work = tempfile.mkdtemp(prefix='pyrokettle-web-')
    try:
        shutil.copytree(os.path.join(source, 'media'), os.path.join(work, 'media'),
                        ignore=shutil.ignore_patterns('*poon*'))
        env = dict(os.environ, SDL_AUDIODRIVER='dummy', BENCH_FRAME_DUMP=os.path.join(work, 'frame'))
        subprocess.run([bench, 'frames', scene, str(objects), '2', '1'], cwd=work, env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return open(os.path.join(work, 'frame'), 'rb').read()
    finally:
        shutil.rmtree(work)


def block_means(pixels):
    return [sum(pixels[(y * 800 + x) * 3 + c] for y in range(by, by + 8) for x in range(bx, bx + 8)) / 64
            for by in range(0, 600, 8) for bx in range(0, 800, 8) for c in range(3)]


def like_desktop(pixels, reference, what):
    worst = max(abs(a - b) for a, b in zip(block_means(pixels), block_means(reference)))
    check(worst <= 24, '%s differs from the desktop frame by %.1f in an 8 x 8 block' % (what, worst))


def changed(before, after, left, top, width, height):
    """Pixels of the region (window pixels, y down) that differ by more than 40 in a channel."""
    return sum(max(abs(before[i + c] - after[i + c]) for c in range(3)) > 40
               for y in range(600 - top - height, 600 - top) for x in range(left, left + width)
               for i in [(y * 800 + x) * 3])


def shows(condition, failure, seconds=20):
    """Waits until the canvas's pixels meet the condition."""
    deadline = time.time() + seconds
    while not condition(browser.canvas()):
        check(time.time() < deadline, failure)


def rises(start, press, release):
    """In a new game (Escape shows the title menu again, `start` chooses Start game), holding
    the fly button takes the hopling off the spot where it stands still (x 133, y 472)."""
    key('Escape', 'Escape')
    shows(lambda pixels: pixels == menu, 'Escape did not show the title menu as it was')
    start()
    shows(lambda pixels: changed(menu, pixels, 100, 20, 600, 100) > 10000, 'no game started')
    last = [browser.canvas()]

    def still(pixels):
        before, last[0] = last[0], pixels
        return not changed(before, pixels, 133, 472, 64, 64)
    shows(still, 'the hopling did not stand still')
    ground = last[0]
    press()
    shows(lambda pixels: changed(ground, pixels, 133, 472, 64, 64) > 1000, 'the hopling did not rise')
    release()


desktop_menu, desktop_play = desktop_frame('menu', 0), desktop_frame('play', 20)
server = game_server(site, tree)
browser = Browser()
key = browser.key
try:
    # WebGL 1 only: every picture still shows.
    browser.open(server.url, NO_WEBGL2 % 'webgl2')
    browser.wait(STARTED)
    check(not browser.js('window.WebGL2RenderingContext'), 'WebGL 2 was used')
    like_desktop(browser.canvas(), desktop_menu, 'the menu on WebGL 1')

    # WebGL 2; the music waits for the first input.
    browser.open(server.url)
    browser.wait(STARTED)
    menu = browser.canvas()
    like_desktop(menu, desktop_menu, 'the menu')
    browser.wait('Module.music.player.paused', what='the music to wait for an input')
    # 20 s without input: the demo, a recording made on the desktop, which is only shown where
    # it replays to its recorded score. A key ends it (the first input: Escape would not count).
    shows(lambda pixels: changed(menu, pixels, 100, 20, 600, 100) > 10000, 'no demo', seconds=40)
    key('ArrowUp', 'ArrowUp')
    shows(lambda pixels: pixels == menu, 'a key did not end the demo')
    browser.wait('!Module.music.player.paused', what='the music to start at the first input')
    key('ArrowDown', 'ArrowDown')
    key('ArrowDown', 'ArrowDown')
    key('Enter', 'Enter')
    shows(lambda pixels: pixels != menu, 'no high-score list')
    empty_list = browser.canvas()
    for name in ('Enter', 'ArrowUp', 'ArrowUp'):  # back to the menu, on Start game
        key(name, name)

    browser.call('Emulation.setTouchEmulationEnabled', enabled=True, maxTouchPoints=1)
    enter = lambda: key('Enter', 'Enter')  # noqa: E731
    rises(enter, lambda: browser.mouse('mousePressed', 400, 300), lambda: browser.mouse('mouseReleased', 400, 300))
    rises(lambda: (browser.touch('touchStart', 200, 208), browser.touch('touchEnd')),  # on the sign
          lambda: browser.touch('touchStart', 400, 300), lambda: browser.touch('touchEnd'))

    # Hidden behind another tab in mid-air, the game stands still until a fresh press.
    rises(enter, lambda: key(' ', 'Space', up=False), lambda: None)
    browser.call('Target.closeTarget', targetId=browser.call('Target.createTarget', url='about:blank')['targetId'])
    browser.wait("document.visibilityState == 'visible'")
    frame, shown = browser.canvas(), browser.js('Browser.mainLoop.currentFrameNumber')
    browser.wait('Browser.mainLoop.currentFrameNumber > %d' % (shown + 5))
    check(browser.canvas() == frame, 'the hidden game went on')
    key(' ', 'Space', down=False)
    key(' ', 'Space')
    shows(lambda pixels: pixels != frame, 'a fresh press did not resume the game')

    # A game played to its end in hops.
    key('Escape', 'Escape')
    shows(lambda pixels: pixels == menu, 'Escape did not show the title menu as it was')
    key('Enter', 'Enter')
    deadline = time.time() + 300
    while not browser.js(ENTERING):
        check(time.time() < deadline, 'no game over within 300 s')
        browser.touch('touchStart', 600, 300)
        time.sleep(0.2)
        browser.touch('touchEnd')
        time.sleep(0.5)
    check(not [text for level, text in browser.console if level == 'exception' or 'GL_' in text],
          'errors on the console')
    browser.wait("document.activeElement.id == 'name'", what='the name field to take the keys')
    browser.call('Input.insertText', text='Web Tester')
    key('Enter', 'Enter')
    browser.wait(KEPT + ".then(file => file.startsWith('webtester   '))", what='the name in storage')

    # Reloaded, the name stands in the list and its run plays from there; a damaged file there
    # is kept as a backup.
    browser.open(server.url)
    browser.wait(STARTED)
    for name in ('ArrowDown', 'ArrowDown', 'Enter'):
        key(name, name)
    shows(lambda pixels: changed(empty_list, pixels, 50, 120, 700, 25) > 100, 'no row in the high-score list')
    check(browser.js("FS.readFile('/media/poon.txt', {encoding: 'utf8'})").startswith('webtester   '),
          'the name was not kept')
    listed = browser.canvas()
    for name in ('ArrowDown', 'Enter'):
        key(name, name)
    shows(lambda pixels: changed(listed, pixels, 100, 20, 600, 100) > 10000, 'the kept run does not play')
    for name in ('Escape', 'ArrowUp'):  # back to the list, no row chosen
        key(name, name)
    key('Enter', 'Enter')
    shows(lambda pixels: not changed(menu, pixels, 100, 0, 700, 600), 'not back on the menu')
    damaged = 'webtester 100\neve nan\n'
    browser.js("FS.writeFile('/kept/poon.txt', '%s')" % damaged.replace('\n', '\\n'))
    key('Enter', 'Enter')  # the list: the file is read
    key('Enter', 'Enter')  # and saved
    browser.wait_console(r'^WARN\) Some lines of ./media/poon.txt could not be read; the old file is kept as /kept/poon.txt.bak$')
    check(browser.js("FS.readFile('/kept/poon.txt.bak', {encoding: 'utf8'})") == damaged, 'no backup')

    # A new build is loaded at once; without a server the last one still plays.
    browser.wait('navigator.serviceWorker.controller !== null', what='the service worker')
    page = open(os.path.join(site, 'index.html'), 'rb').read()
    server.replaced['/'] = server.replaced['/index.html'] = page.replace(b'</head>', b'<meta name="next"></head>')
    browser.open(server.url)
    browser.wait("!!document.querySelector('meta[name=next]')", what='the new build')
    browser.wait(STARTED)
    server.close()
    browser.open(server.url)
    browser.wait(STARTED)

    # The fixed play scene; start-ups with no WebGL, no storage, a file missing on the server.
    server = game_server(site, tree)
    browser.open(server.url + 'scene.html?play&objects=20')
    browser.wait_console('^scene shown$')
    like_desktop(browser.canvas(), desktop_play, 'the play scene')
    browser.open(server.url, NO_WEBGL2 % 'webgl')
    browser.wait("document.getElementById('message').textContent.includes('cannot draw the game')")
    browser.wait_console(r'^FAIL\) Could not open the game window: this browser offers no WebGL$')
    browser.open(server.url, "indexedDB.open = () => { throw new Error('refused'); };")
    browser.wait(STARTED)
    browser.wait_console(r'^WARN\) The browser refused its storage \(refused\); high scores are kept for this session only$')
    server.missing.add('/media/sprites/19.png')
    browser.open(server.url)
    browser.wait(STARTED)
    for line in ('Sorry, sprite ./media/sprites/19.png is missing', 'Loaded 19 sprites'):
        browser.wait_console('^%s$' % line.replace('.', r'\.'))
    print('browser test passed')
except Exception:
    for level, text in browser.console[-30:]:
        print('console %s: %s' % (level, text))
    raise
finally:
    browser.close()
    server.close()
