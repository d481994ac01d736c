// Service.exe: the time-setting service. Its host and pipe server come next.
int wmain() { return 0; }
