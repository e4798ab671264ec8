#pragma once

// BArchivable: objects that can be stored in a message and rebuilt from one.
// The archive names its class in the "class" field; instantiate_object finds
// the class among those registered with RegisterArchivableClass.

#include <Message.h>

class BArchivable {
public:
    BArchivable();
    explicit BArchivable(BMessage* from);
    virtual ~BArchivable();

    // Adds "class" with the object's class name; subclasses add their fields
    // after calling their base class.
    virtual status_t Archive(BMessage* into, bool deep = true) const;
    static BArchivable* Instantiate(BMessage* from);
};

typedef BArchivable* (*instantiation_func)(BMessage*);

// Whether the archive's "class" field names the class.
bool validate_instantiation(BMessage* from, const char* className);
// Builds an object of the archive's last "class" whose function is known.
BArchivable* instantiate_object(BMessage* from);
instantiation_func find_instantiation_func(const char* className);

// Our stand-in for the add-on lookup of BeOS: classes register their
// Instantiate function under their name.
void RegisterArchivableClass(const char* className, instantiation_func function);
