plnrMsh x file missing.inc end
