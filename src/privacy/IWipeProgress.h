#pragma once

// The progress bar that a privacy cleaning moves.
class IWipeProgress {
public:
    virtual ~IWipeProgress() = default;
    virtual void SetMaximum(int maximum) = 0;
    virtual int Maximum() const = 0;
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
};
