#pragma once

// While it lives, file permissions bind this thread and the threads it
// starts, also when the tests run as root (as they do in containers), whom
// permissions do not otherwise stop: a file without write permission cannot
// be written, one without read permission cannot be read.
class PermissionsBind {
public:
    PermissionsBind();
    ~PermissionsBind();
    PermissionsBind(const PermissionsBind&) = delete;
    PermissionsBind& operator=(const PermissionsBind&) = delete;

private:
    bool m_dropped = false;
};
