// CPU time of a process and all its descendants, from /proc (Linux): the
// browser, its zygotes, renderers, GPU and audio processes together.
'use strict';

const fs = require('node:fs');
const os = require('node:os');

// Clock ticks per second of /proc's times; 100 on Linux's usual builds.
const kTicks = 100;

function processTable() {
  const table = [];
  for (const name of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${name}/stat`, 'utf8');
      // The command name, in parentheses, may hold spaces: fields count from after it.
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      table.push({ pid: Number(name), ppid: Number(fields[1]), ticks: Number(fields[11]) + Number(fields[12]) });
    } catch {
      // gone meanwhile
    }
  }
  return table;
}

// Seconds of user and system time of `pid` and its descendants so far.
function browserCpuSeconds(pid) {
  if (os.platform() !== 'linux') return NaN;
  const table = processTable();
  const tree = new Set([pid]);
  for (let grew = true; grew;) {
    grew = false;
    for (const p of table) {
      if (!tree.has(p.pid) && tree.has(p.ppid)) {
        tree.add(p.pid);
        grew = true;
      }
    }
  }
  return table.filter((p) => tree.has(p.pid)).reduce((sum, p) => sum + p.ticks, 0) / kTicks;
}

module.exports = { browserCpuSeconds };
