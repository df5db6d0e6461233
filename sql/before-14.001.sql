-- Schema 12.002: members had no state yet.
ALTER TABLE EUYE DROP DUR;
ALTER TABLE MUYE DROP DUR;
