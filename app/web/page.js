// The page's side of the dialog: it draws the controls the module creates
// (WebDialogView), forwards the user's clicks, list selections and dropped
// files to the module, and carries files between the user's computer and the
// module's file system. It decides nothing; MainDialog does.
//
// The runtime's minifier loses array patterns in declarations (const [a, b]
// = ...): this file has none.
var Page = {
  folder: '', count: 0, files: new Map(), queue: Promise.resolve(),
  $: id => document.getElementById(id),

  // One call into the module at a time: a call that waits for the user (a
  // prompt, a file chooser) keeps the next one waiting.
  call(name, types, args) {
    Page.queue = Page.queue.then(() => ccall(name, null, types, args, {async: true}))
      .catch(error => console.error(error));
  },

  init(title, folder) {
    document.title = Page.$('caption').textContent = title;
    Page.folder = folder;
    document.addEventListener('dragover', event => event.preventDefault());
    document.addEventListener('drop', event => {
      event.preventDefault();
      // The items are readable only while the event lasts.
      Page.dropped([...event.dataTransfer.items].filter(item => item.kind == 'file').map(item => ({
        file: item.getAsFile(), entry: item.webkitGetAsEntry && item.webkitGetAsEntry(),
        handle: item.getAsFileSystemHandle ? item.getAsFileSystemHandle().catch(() => null) : null})));
    });
  },

  ready() {
    Page.readyAt = performance.now();
    document.body.dataset.ready = '';
  },

  // tie: for a label the control it captions, for a control its label.
  addControl(tag, kind, id, text, tie, describedBy, control) {
    const element = document.createElement(tag);
    element.className = kind;
    if (id) element.id = element.style.gridArea = id;
    if (tag == 'label') element.htmlFor = tie;
    if (describedBy) element.setAttribute('aria-describedby', describedBy);
    if (tag == 'input') Object.assign(element, {type: 'text', value: text, spellcheck: false, autocomplete: 'off'});
    else element.textContent = text;
    if (tag == 'button') {
      element.type = 'button';
      element.onclick = () => Page.call('lorvane_command', ['number'], [control]);
    }
    if (kind == 'list-box') Page.makeList(element, control, tie);
    Page.$('dialog').append(element);
  },

  text: id => Page.$(id).value,
  setText(id, text) { Page.$(id)[Page.$(id).tagName == 'INPUT' ? 'value' : 'textContent'] = text; },
  focus: id => Page.$(id).focus(),
  status(text) { Page.$('status').textContent = text; },

  // A list box that draws only the lines in view, so that a file of many
  // thousand waypoints is listed as fast as a short one. Its lines, their
  // marks and the selected line live on the element.
  makeList(list, control, label) {
    Object.assign(list, {lines: [], marks: [], selected: -1, reveal: -1, tabIndex: 0});
    list.setAttribute('role', 'listbox');
    list.setAttribute('aria-labelledby', label);
    const rows = list.appendChild(document.createElement('div')), height = () => Page.rowHeight(list);
    // Drawn once the module's call is over, however often the lines changed.
    list.draw = () => list.pending || (list.pending = true, queueMicrotask(paint));
    const paint = () => {
      list.pending = false;
      const count = list.lines.length;
      if (list.reveal >= 0) {  // the line to scroll into view
        const top = list.reveal * height();
        list.scrollTop = Math.min(top, Math.max(list.scrollTop, top + height() - list.clientHeight));
        list.reveal = -1;
      }
      const first = Math.max(0, Math.floor(list.scrollTop / height()) - 10);
      const end = Math.min(count, first + Math.ceil(list.clientHeight / height()) + 20);
      rows.style.height = count * height() + 'px';
      rows.replaceChildren(...Array.from({length: Math.max(0, end - first)}, (_, k) => {
        const line = first + k, row = document.createElement('div');
        Object.assign(row, {id: `${list.id}-${line}`, line, textContent: list.lines[line],
          className: list.marks[line] || ''});
        for (const attribute of [['role', 'option'], ['aria-selected', line == list.selected],
          ['aria-posinset', line + 1], ['aria-setsize', count]]) row.setAttribute(...attribute);
        row.style.top = line * height() + 'px';
        return row;
      }));
      if (list.selected < 0) list.removeAttribute('aria-activedescendant');
      else list.setAttribute('aria-activedescendant', `${list.id}-${list.selected}`);
    };
    list.onscroll = paint;
    // The user's choice of a line: shown at once, and told the module.
    const choose = line => {
      if (line == list.selected) return;
      Page.listSelect(control, line);
      Page.call('lorvane_selection', ['number', 'number'], [control, line]);
    };
    list.onclick = event => event.target.parentNode == rows && choose(event.target.line);
    list.onkeydown = event => {
      const last = list.lines.length - 1, page = Math.max(1, Math.floor(list.clientHeight / height()) - 1);
      const line = {ArrowDown: list.selected + 1, ArrowUp: list.selected - 1, PageDown: list.selected + page,
        PageUp: list.selected - page, Home: 0, End: last}[event.key];
      if (line === undefined || last < 0) return;
      event.preventDefault();
      choose(Math.min(last, Math.max(0, line)));
    };
  },
  rowHeight: list => parseFloat(getComputedStyle(list).fontSize) * 1.5,  // as the style sheet sets it
  // The colour (0xRRGGBB) of a mark, as the style sheet's variable of that name.
  markColour(mark, colour) {
    document.documentElement.style.setProperty('--' + mark, '#' + colour.toString(16).padStart(6, '0'));
  },

  // Lines as the module hands them over: UTF-8 one after the other, and their lengths.
  listAppend(id, text, lengths, count) {
    const list = Page.$('c' + id);
    for (let i = 0; i < count; text += HEAP32[(lengths >> 2) + i++]) {
      list.lines.push(UTF8ToString(text, HEAP32[(lengths >> 2) + i]));
    }
    list.draw();
  },
  listReset(id) {
    Object.assign(Page.$('c' + id), {lines: [], marks: [], selected: -1, scrollTop: 0}).draw();
  },
  listMark(id, line, mark) {
    Page.$('c' + id).marks[line] = mark;
    Page.$('c' + id).draw();
  },
  listSelect(id, line) {
    Object.assign(Page.$('c' + id), {selected: line, reveal: line}).draw();
  },

  // The message box: the text and its buttons, the first the default; 1 for
  // the first, 0 for the second or Escape.
  message(text, yes, no) {
    const box = Page.$('message'), buttons = Page.$('message-buttons');
    Page.$('message-text').textContent = text;
    buttons.replaceChildren(...(no === null ? [[yes, '1']] : [[yes, '1'], [no, '0']]).map(([label, value]) =>
      Object.assign(document.createElement('button'), {type: 'button', className: 'push-button', textContent: label,
        onclick: () => box.close(value)})));
    box.returnValue = '0';
    return new Promise(resolve => {
      box.onclose = () => resolve(Number(box.returnValue));
      box.showModal();
      buttons.firstChild.focus();
    });
  },

  // Lets the user choose a file of the types ("description|.a,.b|..."); the
  // path of its copy in the module's file system, or '' when cancelled.
  async chooseFile(types) {
    const parts = types.split('|'), kinds = [];
    for (let i = 0; i + 1 < parts.length; i += 2) {
      kinds.push({description: parts[i], accept: {'application/octet-stream': parts[i + 1].split(',')}});
    }
    Page.forget();
    try {
      if (window.showOpenFilePicker) {
        const handle = (await showOpenFilePicker({types: kinds}))[0];
        return await Page.store(await handle.getFile(), handle);
      }
      const file = await new Promise(resolve => {
        const input = Object.assign(document.createElement('input'), {type: 'file',
          accept: kinds.flatMap(kind => kind.accept['application/octet-stream']).join(',')});
        input.onchange = () => resolve(input.files[0]);
        input.oncancel = () => resolve(null);
        // Where the chooser reports no cancel: the window has the focus back and no file came.
        addEventListener('focus', () => setTimeout(() => resolve(input.files[0] || null), 1000), {once: true});
        input.click();
      });
      return file ? await Page.store(file, null) : '';
    } catch (error) {
      return '';  // cancelled, or a file the browser would not read
    }
  },

  // Lets go of the copies that no path box names any longer, before new files come in.
  forget() {
    const named = [...document.querySelectorAll('.edit-box')].map(box => box.value);
    for (const old of [...Page.files.keys()].filter(path => !named.includes(path))) {
      Page.files.delete(old);
      try { FS.unlink(old); } catch (error) {}  // gone already
    }
  },

  // Copies a file into a folder of its own in the module's file system and
  // remembers where it came from.
  async store(file, handle) {
    const folder = `${Page.folder}/${++Page.count}`, path = `${folder}/${file.name}`;
    FS.mkdirTree(folder);
    FS.writeFile(path, new Uint8Array(await file.arrayBuffer()), {canOwn: true});  // no copy
    Page.files.set(path, {name: file.name, handle});
    return path;
  },

  // Dropped files (and folders, as empty folders) go into the module's file
  // system; MainDialog decides which box each goes to.
  async dropped(items) {
    const paths = [];
    Page.forget();
    for (const item of items) {
      try {
        if (item.entry && item.entry.isDirectory) {
          const path = `${Page.folder}/${++Page.count}/${item.file.name}`;
          FS.mkdirTree(path);
          paths.push(path);
        } else {
          paths.push(await Page.store(item.file, await item.handle));
        }
      } catch (error) {}  // a file the browser would not read
    }
    if (paths.length) Page.call('lorvane_drop', ['string'], [paths.join('\n')]);
  },

  // Gives a file the module rewrote back to the user: written into the file
  // it came from where the browser lets the page (1), else downloaded under
  // its name (2); 0 when neither worked.
  async handOver(path) {
    const source = Page.files.get(path) || {name: path.split('/').pop(), handle: null};
    const data = FS.readFile(path);
    if (source.handle && source.handle.createWritable) {
      try {
        if (source.handle.requestPermission &&
            await source.handle.requestPermission({mode: 'readwrite'}) != 'granted') throw 0;
        const writable = await source.handle.createWritable();
        await writable.write(data);
        await writable.close();
        return 1;
      } catch (error) {}  // refused: downloaded instead
    }
    try {
      const link = Object.assign(document.createElement('a'), {download: source.name,
        href: URL.createObjectURL(new Blob([data], {type: 'application/octet-stream'}))});
      link.click();
      setTimeout(() => URL.revokeObjectURL(link.href), 60000);
      return 2;
    } catch (error) {
      return 0;
    }
  },
};

// The module is inside the page as a data: address; it is compiled from
// those bytes, where the runtime would fetch() the address, a request the
// page's policy forbids.
Module.instantiateWasm = (imports, done) => {
  WebAssembly.instantiate(tryParseAsDataURI(wasmBinaryFile), imports)
    .then(result => done(result.instance, result.module));
  return {};
};
Module.onAbort = () => { document.body.dataset.aborted = ''; };
