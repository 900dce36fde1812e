// Custom action of the Brimlet package: the monitor refuses a command line
// whose path or host does not fit its buffers (and then runs with its
// defaults), and a launch condition cannot measure a length. Names the
// properties that are too long in BRIMLETTOOLONG, for the launch condition
// that refuses the installation.
function CheckLengths() {
  var limits = [["WATCHPATH", 242], ["LOGHOST", 49]];
  var refused = "";
  for (var i = 0; i < limits.length; i++) {
    var value = Session.Property(limits[i][0]);
    if (value.length > limits[i][1]) {
      refused += (refused ? ", " : "") + limits[i][0];
    }
  }
  Session.Property("BRIMLETTOOLONG") = refused;
  return 1;  // success; the launch condition does the refusing
}
