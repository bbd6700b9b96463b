#pragma once

// Reference-counted base of every framework object. A new object holds one reference, owned by
// whoever created it; remember() adds one, forget() drops one and deletes at zero.
class CBaseObject {
public:
    CBaseObject() = default;
    virtual ~CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;

    virtual void remember() { ++references; }
    virtual void forget() {
        if (--references == 0) delete this;
    }
    int getNbReference() const { return references; }

private:
    int references = 1;
};
