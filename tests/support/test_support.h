#pragma once
// Everything for cross-process tests in one include:
//   TempDir (temp_dir.h), findFreePort (free_port.h), ChildProcess and runProgram
//   (child_process.h), NameServer (name_server.h), writeRtcConf (rtc_conf.h),
//   runRtctl (rtctl_runner.h), binPath (paths.h), ArmCell (arm_cell.h).
// Link the target test_support.
#include "tests/support/arm_cell.h"
#include "tests/support/child_process.h"
#include "tests/support/free_port.h"
#include "tests/support/name_server.h"
#include "tests/support/paths.h"
#include "tests/support/rtc_conf.h"
#include "tests/support/rtctl_runner.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_until.h"
