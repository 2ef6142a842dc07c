// Linked before the web build's test programs. Emscripten 3.1.6 hands Node's
// fs.utimesSync milliseconds where it takes seconds, so a test that dates a
// file back (std::filesystem::last_write_time) would date it centuries ahead
// on the real file system; here the times reach Node in seconds. A program
// without file calls has no FS.
Module['preRun'] = [function () {
  if (typeof FS === 'undefined') return;
  const utime = FS.utime;
  FS.utime = function (path, atime, mtime) { utime(path, atime / 1000, mtime / 1000); };
}];
